// What a tool's command-line reading throws. ToolMain turns both into the
// tool's exit: bad usage ends with code 2, a request for the help text or
// the version is answered on standard output and ends with 0.
#pragma once

#include <stdexcept>

// Bad usage; the message says what is wrong, without the tool's name.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// --help (or -h) or --version was given.
struct InfoRequest {
    enum What { Help, Version } what;
};
