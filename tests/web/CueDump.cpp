// Prints the cues of a WebVTT file as the desktop player reads them, as JSON:
// {"error": "", "cues": [{"start": 1.5, "end": 3, "text": "line\nline",
// "place": {"settings": "position:30%", "left": 0, "right": 60, "line": null,
// "lineAlign": "start", "align": "center"}}]}, with "error" the reader's
// message (and no cues) when it refuses the file; "place" is where the cue
// stands (CueSettings: the settings kept, the box across the picture in
// percent, the line in percent or null). The web tests hold the page's cues
// to this.
//
// usage: quorvane-cue-dump FILE   (the path as the player names it)
#include <cstdio>
#include <string>

#include "engine/CueList.h"

namespace {

std::string quoted(const std::string& text)
{
    std::string out = "\"";
    for (const unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", c);
            out += escape;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: quorvane-cue-dump FILE\n");
        return 2;
    }
    std::string error;
    quorvane_engine::CueList cues;
    try {
        cues = quorvane_engine::CueList::load(argv[1]);
    } catch (const quorvane_engine::CueError& refused) {
        error = refused.what();
    }
    std::printf("{\"error\": %s, \"cues\": [", quoted(error).c_str());
    for (size_t i = 0; i < cues.cues.size(); ++i) {
        const quorvane_engine::Cue& cue = cues.cues[i];
        std::string text;
        for (size_t k = 0; k < cue.lines.size(); ++k)
            text += (k > 0 ? "\n" : "") + cue.lines[k];
        using quorvane_engine::CueSettings;
        const CueSettings& settings = cue.settings;
        double left = 0.0, right = 0.0;
        settings.across(left, right);
        char line[32] = "null";
        if (settings.line != CueSettings::kAuto)
            std::snprintf(line, sizeof line, "%.17g", settings.line);
        const char* lineAlign = settings.lineAlign == CueSettings::Anchor::center ? "center"
            : settings.lineAlign == CueSettings::Anchor::end                      ? "end"
                                                                                  : "start";
        const char* align = settings.align == CueSettings::Align::left ? "left"
            : settings.align == CueSettings::Align::right              ? "right"
                                                                       : "center";
        std::printf("%s{\"start\": %.17g, \"end\": %.17g, \"text\": %s, \"place\": {\"settings\": %s, \"left\": %.17g, "
                    "\"right\": %.17g, \"line\": %s, \"lineAlign\": \"%s\", \"align\": \"%s\"}}",
            i > 0 ? ", " : "", cue.start, cue.end, quoted(text).c_str(), quoted(settings.text()).c_str(), left, right,
            line, lineAlign, align);
    }
    std::printf("]}\n");
    return 0;
}
