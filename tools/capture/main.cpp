// quorvane-capture: renders the show offscreen and writes what the screen
// would show, as PNG frames, a video with the music, or a contact sheet.
// `quorvane-capture --help` tells how.

#include <string>
#include <vector>

#include "CaptureRun.h"
#include "OptionParser.h"
#include "ToolMain.h"
#include "UsageError.h"

int main(int argc, char** argv)
{
    const ToolMain tool("quorvane-capture", OptionParser::helpText());
    return tool.run(argc, argv, [](const std::vector<std::string>& arguments) {
        const OptionParser::Result parsed = OptionParser::parse(arguments);
        switch (parsed.outcome) {
        case OptionParser::Help:
            throw InfoRequest{InfoRequest::Help};
        case OptionParser::Version:
            throw InfoRequest{InfoRequest::Version};
        case OptionParser::Usage:
            throw UsageError(parsed.error);
        case OptionParser::Run:
            break;
        }
        return CaptureRun::run(parsed.options);
    });
}
