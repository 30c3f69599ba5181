// Fuzz target: any bytes as speak-screenplay's line table, read as the mix,
// the captions and the measuring tools read it.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>

#include "LineTable.h"
#include "MessageNamesLine.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    try {
        for (const SpokenLine& line : parseLineTable(text, "lines.tsv"))
            if (!std::isfinite(line.start) || !std::isfinite(line.end) || line.start < 0.0 || !(line.start < line.end))
                __builtin_trap();
    } catch (const std::runtime_error& e) {
        if (!messageNamesLine(e.what(), "lines.tsv"))
            __builtin_trap();
    }
    return 0;
}
