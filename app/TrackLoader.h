// Reads the show's music anew on a thread of its own, so that the frames go
// on while a large file is read and opened; the caller takes the result on
// its own thread, once it is there. A read asked for while one is under way
// starts again when that one ends (the file changed meanwhile), and only the
// last one's result is handed out. Needs the audio device open.
#pragma once

#include <future>
#include <memory>
#include <string>

#include "MusicTrack.h"

class TrackLoader {
public:
    // What one read gave: the track, or why there is none.
    struct Result {
        std::unique_ptr<MusicTrack> track;
        std::string error;
    };

    explicit TrackLoader(std::string path);
    // Waits for a read under way.
    ~TrackLoader();
    TrackLoader(const TrackLoader&) = delete;
    TrackLoader& operator=(const TrackLoader&) = delete;

    // Starts reading the file, or reading it again after the read under way.
    void start();
    // True, with `result` set, once the last read asked for has ended;
    // each result is handed out once.
    bool finished(Result& result);
    // True while a read is under way.
    bool busy() const { return reading.valid(); }

private:
    std::string path;
    std::future<Result> reading;
    bool again = false;
};
