// The line table speak-screenplay writes beside the voice stem: one row per
// spoken line, "start, tab, end, tab, speaker, tab, script, tab, text", the
// span running from the voice's first sounding frame to its last. The mix
// ducks over these spans and the measuring tools judge the lines by them.
#pragma once

#include <string>
#include <vector>

struct SpokenLine {
    double start = 0.0, end = 0.0; // seconds of show time
    std::string speaker, script, text;
};

// The rows of the table at `path`, in order. Throws std::runtime_error
// naming the file (and line) when it does not open or a row is malformed
// (not five fields, or a span that does not end after it starts).
std::vector<SpokenLine> readLineTable(const std::string& path);
