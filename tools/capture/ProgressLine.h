// The progress of a run of many frames on standard error: frames done of
// how many, frames per second and the time left. On a terminal one line is
// rewritten in place a few times a second; elsewhere (a log) a line is
// added every few seconds. Either way the last state ends with a new line.
#pragma once

#include <chrono>
#include <cstdio>
#include <string>

class ProgressLine {
public:
    // Reports on `out` for a run of `total` frames; silent unless `enabled`.
    ProgressLine(std::FILE* out, long long total, bool enabled);

    // Counts one more frame done and shows it when it is time to.
    void frameDone();
    // Shows the final count and ends the line.
    void finish();

    // The text for `done` of `total` frames after `elapsedSeconds`:
    // "120/8596 frames, 31.2 fps, 4:31 left". Rate and time left read "--"
    // until they can be told.
    static std::string describe(long long done, long long total, double elapsedSeconds);

private:
    void show(bool last);

    std::FILE* out;
    long long total;
    bool enabled;
    bool terminal;
    long long done = 0;
    std::chrono::steady_clock::time_point started;
    std::chrono::steady_clock::time_point lastShown;
    std::size_t lastLength = 0;
};
