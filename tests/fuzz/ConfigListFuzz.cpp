// Fuzz target: any bytes as a resource list.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "engine/ConfigLine.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    for (const ConfigLine& line : ConfigLine::readList(in)) {
        // Every field is a piece of the line it came from.
        if (line.name.size() + line.first.size() + line.second.size() > size)
            __builtin_trap();
    }
    return 0;
}
