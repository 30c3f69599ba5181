// What one run of quorvane-capture is asked to do, as the command line gave
// it. OptionParser fills it and checks that the parts fit together; CaptureRun
// carries it out.
#pragma once

#include <string>
#include <vector>

struct CaptureOptions {
    // What the run writes.
    enum Mode {
        Frames,       // one PNG file per frame, named by `outPattern`
        Video,        // one video file with the music, through ffmpeg
        ContactSheet, // one PNG with a labelled tile per frame
    };

    Mode mode = Frames;

    // Folders to change into, in order, before anything is read or written.
    std::vector<std::string> directories;

    int width = 1920;
    int height = 1080;

    // Single show times, in the order given (never decreasing).
    std::vector<double> times;

    // A sequence from `from` to `to` at `fps` frames per second.
    bool hasRange = false;
    double from = 0.0;
    double to = 0.0;
    double fps = 0.0;

    std::string outPattern = "frame_%05d.png";
    std::string videoPath;
    std::string sheetPath;

    // Video quality for the encoder (lower is better and larger).
    int crf = 18;
    // Width of one contact-sheet tile; 0 means the frame width, at most 480.
    int tileWidth = 0;

    // The captions drawn over every frame (burnt into a video too).
    bool captions = false;

    bool quiet = false;
};
