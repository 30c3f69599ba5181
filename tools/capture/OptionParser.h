// The command line of quorvane-capture: turns the arguments into
// CaptureOptions, or says what is wrong with them. Pure; touches no file.
#pragma once

#include <string>
#include <vector>

#include "CaptureOptions.h"

class OptionParser {
public:
    enum Outcome {
        Run,     // `options` holds a complete, consistent request
        Help,    // --help: print helpText() and succeed
        Version, // --version: print the version and succeed
        Usage,   // bad usage: `error` says what, exit code 2
    };

    struct Result {
        Outcome outcome = Usage;
        CaptureOptions options;
        std::string error;
    };

    // Largest framebuffer side accepted.
    static constexpr int kMaxSide = 16384;
    // Highest frame rate accepted.
    static constexpr double kMaxFps = 1000.0;

    // Parses `arguments` (without the program name).
    static Result parse(const std::vector<std::string>& arguments);

    // The text --help prints.
    static std::string helpText();
};
