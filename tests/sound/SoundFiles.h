// What the sound tests read: the built track decoded, dialog scripts read
// the way the show reads them, and the show's scene windows per script.
#pragma once

#include "WavFile.h"

#include <string>
#include <vector>

struct Interval {
    double start, end;
};

// The Ogg Vorbis file at `path` decoded to floats; sampleRate 0 when it
// does not decode.
Audio decodeOgg(const std::string& path);

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
