// What the sound tests read: dialog scripts read
// the way the show reads them, and the show's scene windows per script.
#pragma once

#include "WavFile.h"

#include <string>
#include <vector>

struct Interval {
    double start, end;
};

// The speech intervals of the dialog script at `path`, read with the show's
// own reader; `opened` tells whether the file was there.
std::vector<Interval> readScript(const std::string& path, bool* opened = nullptr);

// A stretch of show time in which a script's figure is drawn speaking.
struct SpeakingWindow {
    const char* scene;
    double start, end;
};

// The dialog scripts under data/ and, for each, the windows in which the
// figures reading it are drawn with lip sync.
struct ScriptWindows {
    const char* file;
    std::vector<SpeakingWindow> windows;
};
const std::vector<ScriptWindows>& showScripts();

// Where the built files are.
std::string dataPath(const std::string& name);
std::string screenplayPath();
std::string voiceStemPath();
// A file the content build leaves beside the voice stem: "lines.tsv",
// "music.wav", "stems/music.wav" ...
std::string soundWorkPath(const std::string& name);
