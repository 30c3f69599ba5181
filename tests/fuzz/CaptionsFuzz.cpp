// Fuzz target: any bytes as a WebVTT captions file, read as the player,
// the capture tool and the page read it.
#include <cstddef>
#include <cstdint>
#include <string>

#include "MessageNamesLine.h"
#include "engine/CueList.h"

using quorvane_engine::CueError;
using quorvane_engine::CueList;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    try {
        const CueList list = CueList::parse(text, "captions.vtt");
        for (const auto& cue : list.cues)
            if (!(cue.start < cue.end) || list.at(cue.start) == nullptr)
                __builtin_trap();
        // What it writes, it reads back: the same cues, standing where they stood.
        const CueList again = CueList::parse(list.toWebVtt(), "again.vtt");
        if (again.cues.size() != list.cues.size())
            __builtin_trap();
        for (size_t i = 0; i < list.cues.size(); ++i) {
            double left = 0.0, right = 0.0;
            list.cues[i].settings.across(left, right);
            if (again.cues[i].settings != list.cues[i].settings || !(0.0 <= left && left <= right && right <= 100.0))
                __builtin_trap();
        }
    } catch (const CueError& e) {
        if (!messageNamesLine(e.what(), "captions.vtt"))
            __builtin_trap();
    }
    return 0;
}
