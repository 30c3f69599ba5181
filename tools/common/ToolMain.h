// The shape of every tool's main: --help and --version answered, bad usage
// reported with a hint and exit code 2, a failure reported with exit code 1,
// and every message on standard error starting with the tool's name. What
// the tool does, and how it reads its arguments, is left to its body.
#pragma once

#include <functional>
#include <string>
#include <vector>

class ToolMain {
public:
    static constexpr int kSuccess = 0;
    static constexpr int kFailure = 1;
    static constexpr int kUsage = 2;

    // The tool's body: takes the arguments after the program name and
    // returns the exit code; throws UsageError, InfoRequest, or any
    // std::exception whose message says why the tool failed.
    using Body = std::function<int(const std::vector<std::string>& arguments)>;

    // `name` starts every message; `help` is the text --help prints.
    ToolMain(std::string name, std::string help);

    // Runs `body` on the command line and turns what it throws into
    // messages and exit codes. Never throws.
    int run(int argc, char** argv, const Body& body) const;

    // Prints "NAME: message" on standard error.
    void report(const std::string& message) const;

private:
    std::string name;
    std::string help;
};
