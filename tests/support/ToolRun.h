// Runs a tool of the content build as a maker runs it from a shell: its
// exit code and what it said on standard error.
#pragma once

#include <string>
#include <vector>

struct ToolRun {
    int exitCode = -1; // -1 when the tool did not exit (a signal ended it)
    std::string errors;
};

// Runs `command` (the program first) and waits for it.
ToolRun runTool(const std::vector<std::string>& command);
