#include "ToolRun.h"

#include "TestFiles.h"

#include <sys/wait.h>

#include <cstdlib>

namespace {

std::string quoted(const std::string& word)
{
    std::string out = "'";
    for (char c : word)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

} // namespace

ToolRun runTool(const std::vector<std::string>& command)
{
    TempDir dir;
    std::string line;
    for (const std::string& word : command)
        line += quoted(word) + " ";
    line += "2> " + quoted(dir.path("errors.txt"));
    ToolRun run;
    const int status = std::system(line.c_str());
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.errors = readFile(dir.path("errors.txt"));
    return run;
}
