// One run of quorvane-capture: changes folder, brings up a hidden GL
// context, builds the show through ShowRenderer and writes the frames the
// options ask for, as PNG files, a video or a contact sheet. Every failure
// is reported on standard error with what it concerns.
#pragma once

#include "CaptureOptions.h"
#include "show/ShowFiles.h"

class CaptureRun {
public:
    enum ExitCode {
        kSuccess = 0,
        kFailure = 1, // bad input or a failed render
        kUsage = 2,   // bad command line (decided before a run starts)
    };

    // The resource list, the music and the captions, relative to the
    // working directory, as the show reads them.
    static constexpr const char* kConfigPath = ShowFiles::kConfig;
    static constexpr const char* kMusicPath = ShowFiles::kMusic;
    static constexpr const char* kCaptionsPath = ShowFiles::kCaptions;

    // Carries out `options`; returns kSuccess or kFailure.
    static int run(const CaptureOptions& options);
};
