// Every tool this build makes, run as a process: --help and --version answer
// on standard output with exit code 0, bad usage exits with 2 and a message
// that starts with the tool's name, a failure with 1 and the same.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Outcome {
    int code = -1;
    std::string out;
    std::string err;
};

// Runs `command` through the shell with standard error in a file.
Outcome run(const std::string& command)
{
    Outcome outcome;
    char errPath[] = "/tmp/tool-shape-XXXXXX";
    const int fd = mkstemp(errPath);
    if (fd < 0)
        return outcome;
    close(fd);
    FILE* pipe = popen((command + " 2>" + errPath).c_str(), "r");
    char buffer[4096];
    size_t n = 0;
    while (pipe && (n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        outcome.out.append(buffer, n);
    const int status = pipe ? pclose(pipe) : -1;
    outcome.code = status >= 0 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    FILE* err = fopen(errPath, "r");
    while (err && (n = fread(buffer, 1, sizeof buffer, err)) > 0)
        outcome.err.append(buffer, n);
    if (err)
        fclose(err);
    std::remove(errPath);
    return outcome;
}

std::vector<std::string> toolCommands()
{
    std::vector<std::string> commands;
    std::stringstream list(QUORVANE_TOOL_COMMANDS);
    for (std::string command; std::getline(list, command, '|');)
        commands.push_back(command);
    return commands;
}

// The tool's name: the file name of the command's last word.
std::string nameOf(const std::string& command)
{
    const std::string last = command.substr(command.find_last_of(' ') + 1);
    return last.substr(last.find_last_of('/') + 1);
}


// A tool whose libraries this machine lacks is left out of the build (and
// of the test above); say which, so that CI can refuse it.
TEST(ToolShape, every_tool_is_built)
{
    const std::string leftOut = QUORVANE_TOOLS_LEFT_OUT;
    if (!leftOut.empty())
        GTEST_SKIP() << "not built on this machine: " << leftOut;
}

} // namespace

TEST(Tools, every_tool_answers_help_and_version_and_names_itself_in_errors)
{
    for (const std::string& command : toolCommands()) {
        const std::string name = nameOf(command);
        SCOPED_TRACE(name);

        const Outcome help = run(command + " --help");
        EXPECT_EQ(help.code, 0) << help.err;
        EXPECT_NE(help.out.find("usage"), std::string::npos) << help.out;
        const Outcome version = run(command + " --version");
        EXPECT_EQ(version.code, 0) << version.err;
        EXPECT_EQ(version.out.rfind(name + " ", 0), 0u) << version.out;

        // The scripts do their whole work without arguments.
        const bool runsBare = name == "fuzz" || name == "sanitize" || name == "quorvane-clock-bench";
        for (const std::string& bad : {std::string(" --no-such-option"), std::string("")}) {
            if (bad.empty() && runsBare)
                continue;
            const Outcome usage = run(command + bad);
            EXPECT_EQ(usage.code, 2) << bad;
            EXPECT_EQ(usage.err.rfind(name + ": ", 0), 0u) << bad << ": " << usage.err;
        }

        // Input that does not exist; "" for a tool whose failures take a
        // whole build to reach.
        const std::map<std::string, std::string> failing = {
            {"quorvane-capture", " -C /nonexistent --time 1"},
            {"quorvane-bench", " startup --runs 1 --binary /nonexistent/quorvane"},
            {"quorvane-clock-bench", " -C /nonexistent"},
            {"fuzz", ""},
            {"sanitize", ""},
            {"svgrender", " --config /nonexistent/config.txt --out /tmp /nonexistent/a.svg"},
            {"encode-ogg", " /nonexistent/in.wav /nonexistent/out.ogg"},
            {"render-score", " /nonexistent/font.sf2 /nonexistent/events.txt /nonexistent/out.wav 1"},
            {"compose-score", " /nonexistent/score.txt /nonexistent/events.txt"},
            {"speak-screenplay", " /nonexistent/play.txt /nonexistent /nonexistent/voices.wav /nonexistent/lines.tsv"},
            {"measure-voices", " /nonexistent/voices.wav /nonexistent/lines.tsv /nonexistent"},
            {"mix-soundtrack", " /nonexistent/music.wav /nonexistent/voices.wav /nonexistent/lines.tsv /nonexistent/mix.wav 2"},
            {"make-effects", " /nonexistent/effects.txt /nonexistent/effects.wav"},
            {"measure-mix", " /nonexistent/lines.tsv /nonexistent/voices.wav /nonexistent/music.wav /nonexistent"},
            {"make-captions", " /nonexistent/play.txt /nonexistent/lines.tsv /nonexistent/captions.vtt"},
            {"config-resources", " /nonexistent/config.txt"},
            {"ogg-opening", " /nonexistent/track.ogg /nonexistent/opening.ogg"},
        };
        ASSERT_EQ(failing.count(name), 1u) << "a failing call of every tool";
        if (failing.at(name).empty())
            continue;
        const Outcome failure = run(command + failing.at(name));
        EXPECT_EQ(failure.code, 1) << failure.err;
        EXPECT_EQ(failure.err.rfind(name + ": ", 0), 0u) << failure.err;
    }
}
