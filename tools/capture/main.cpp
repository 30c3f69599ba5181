// quorvane-capture: renders the show offscreen and writes what the screen
// would show, as PNG frames, a video with the music, or a contact sheet.
// `quorvane-capture --help` tells how.

#include <cstdio>
#include <string>
#include <vector>

#include "CaptureRun.h"
#include "OptionParser.h"

int main(int argc, char** argv)
{
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    const OptionParser::Result parsed = OptionParser::parse(arguments);
    switch (parsed.outcome) {
    case OptionParser::Help:
        std::fputs(OptionParser::helpText().c_str(), stdout);
        return CaptureRun::kSuccess;
    case OptionParser::Version:
        std::printf("quorvane-capture %s\n", QUORVANE_VERSION);
        return CaptureRun::kSuccess;
    case OptionParser::Usage:
        std::fprintf(stderr, "quorvane-capture: %s\nTry 'quorvane-capture --help' for more information.\n",
                     parsed.error.c_str());
        return CaptureRun::kUsage;
    case OptionParser::Run:
        break;
    }
    return CaptureRun::run(parsed.options);
}
