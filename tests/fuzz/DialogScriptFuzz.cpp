// Fuzz target: any bytes as a dialog script.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "characters/DialogScript.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::istringstream in(text);
    std::vector<double> starts;
    std::vector<double> ends;
    DialogScript::read(in, starts, ends);
    if (starts.size() != ends.size())
        __builtin_trap();
    for (size_t i = 0; i < starts.size(); ++i) {
        // Never NaN: a text reads as a number or as 0.
        if (starts[i] != starts[i] || ends[i] != ends[i])
            __builtin_trap();
    }
    // The maker's check reads the same lines: every line is either
    // unreadable or counted, never both, never more than there are.
    std::istringstream again(text);
    const DialogScript::Check check = DialogScript::check(again);
    if (check.unreadable.size() + static_cast<size_t>(check.intervals) > starts.size())
        __builtin_trap();
    return 0;
}
