// The line table speak-screenplay writes beside the voice stem: one row per
// spoken line, "start, tab, end, tab, speaker, tab, script, tab, text", the
// span running from the voice's first sounding frame to its last. The mix
// ducks over these spans, the captions are timed by them and the measuring
// tools judge the lines by them.
#pragma once

#include <string>
#include <vector>

struct SpokenLine {
    double start = 0.0, end = 0.0; // seconds of show time
    std::string speaker, script, text;
};

// The rows of the table `text`, in order; `path` names it in messages.
// Throws std::runtime_error ("path:line: reason") on a malformed row: not
// five fields, or a span that does not start at 0 or later and end after it
// starts.
std::vector<SpokenLine> parseLineTable(const std::string& text, const std::string& path);

// The rows of the table at `path`; throws std::runtime_error naming the file
// when it does not open, as parseLineTable otherwise.
std::vector<SpokenLine> readLineTable(const std::string& path);
