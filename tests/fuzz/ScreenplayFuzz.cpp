// Fuzz target: any bytes as the screenplay, read as speak-screenplay and
// make-captions read it.
#include <cstddef>
#include <cstdint>
#include <string>

#include "MessageNamesLine.h"
#include "Screenplay.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    try {
        const Screenplay play = parseScreenplay(text, "screenplay.txt");
        double last = -1.0;
        for (const DialogLine& line : play.lines) {
            // In time order, each spoken where its figure is drawn speaking,
            // into one of its own scripts.
            const CastMember* member = play.member(line.speaker);
            if (!member || line.start <= last || !windowFor(play, line.speaker, line.start, line.start) ||
                line.script.empty() || line.text.empty())
                __builtin_trap();
            last = line.start;
        }
        for (const StageDirection& direction : play.directions)
            if (!(direction.start < direction.end) || direction.text.empty())
                __builtin_trap();
    } catch (const ScreenplayError& e) {
        if (!messageNamesLine(e.what(), "screenplay.txt"))
            __builtin_trap();
    }
    return 0;
}
