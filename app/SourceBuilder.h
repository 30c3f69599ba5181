// The maker's sources in the loop (quorvane --build DIR): watches every file
// under the content sources' folder and, once a change has settled, runs the
// content build of the CMake build folder DIR as a child process, without
// waiting for it: the frame loop goes on, and the ContentReloader picks up
// what the build writes into data/. One build runs at a time; a change
// during a build starts another when it ends. The build's own messages go to
// the player's standard error, so that standard output keeps one line per
// event. Knows nothing of what the build makes.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

#include "FileWatch.h"

class SourceBuilder {
public:
    // The build target that makes data/ from content/.
    static constexpr const char* kTarget = "content";
    // How often the sources are looked at, in seconds.
    static constexpr double kPollInterval = 0.1;

    // The CMake build folder `dir` as an absolute path, checked to build the
    // sources of `sourceRoot` (the folder holding data/). Throws UsageError
    // naming what is wrong.
    static std::string checkBuildFolder(const std::string& dir, const std::string& sourceRoot);

    // Watches the files under `sources` for the build in `buildDir`.
    SourceBuilder(std::string sources, std::string buildDir);
    // Ends a build still running (its process group), and waits for it.
    ~SourceBuilder();
    SourceBuilder(const SourceBuilder&) = delete;
    SourceBuilder& operator=(const SourceBuilder&) = delete;

    // At most every kPollInterval seconds of `now`: notes a build that ended
    // and starts one when a source changed. One line per event.
    std::vector<std::string> poll(double now);

private:
    // Watches the files under `sources` not yet watched; true when there
    // were new ones after the first look.
    bool findNewFiles();
    // Starts the build; a line saying so, or why it could not start.
    std::string startBuild(const std::string& why);

    std::string sources;
    std::string buildDir;
    FileWatch files;
    bool looked = false;
    pid_t build = -1;
    double buildStart = 0.0;
    std::string changedSince; // a source changed since the running build started
    double lastPoll = -1e9;
};
