// Fuzz target: any bytes as the sound effects' cue sheet, read as
// make-effects reads it.
#include <cstddef>
#include <cstdint>
#include <string>

#include "EffectCues.h"
#include "MessageNamesLine.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    try {
        const EffectCues sheet = parseEffectCues(text, "effects.txt", {"ring", "door", "murmur"});
        double last = 0.0;
        for (const EffectCue& cue : sheet.cues) {
            // Every cue one a recipe can make: a known sound, a length in
            // bounds, in time order.
            if (cue.seconds < kShortestCue || cue.seconds > kLongestCue || cue.start < last || cue.level > 0.0 ||
                cue.level < -60.0 || cue.pan < -1.0 || cue.pan > 1.0 ||
                (cue.sound != "ring" && cue.sound != "door" && cue.sound != "murmur"))
                __builtin_trap();
            last = cue.start;
        }
        for (const std::string& saying : sheet.sayings)
            if (saying.empty())
                __builtin_trap();
    } catch (const EffectCueError& e) {
        if (!messageNamesLine(e.what(), "effects.txt"))
            __builtin_trap();
    }
    return 0;
}
