// Fuzz target: any bytes as the score's MIDI events, read as render-score
// reads them.
#include <cstddef>
#include <cstdint>
#include <string>

#include "MessageNamesLine.h"
#include "ScoreEvents.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    try {
        double last = 0.0;
        for (const ScoreEvent& e : parseScoreEvents(text, "events.txt")) {
            // In time order, each in MIDI's ranges.
            if (e.time < last || e.time > kLatestEvent || e.channel < 0 || e.channel > 15 || e.a < 0 ||
                e.a > (e.kind == ScoreEvent::Bend ? 16383 : 127) || e.b < 0 || e.b > 127 ||
                (e.kind == ScoreEvent::On && e.b < 1))
                __builtin_trap();
            last = e.time;
        }
    } catch (const ScoreEventError& e) {
        if (!messageNamesLine(e.what(), "events.txt"))
            __builtin_trap();
    }
    return 0;
}
