// The maker's sources in the loop (quorvane --build DIR): watches every file
// under the content sources' folder and, once a change has settled, runs the
// content build of the CMake build folder DIR as a process group of its own
// (ProcessGroup), without waiting for it: the frame loop goes on, and the
// ContentReloader picks up what the build writes into data/. One build runs
// at a time; a change during a build starts another when it ends. A lock
// file in DIR keeps two players from building there at once: the second
// waits for the first's build, and says so. The build's own messages go to
// the player's standard error, so that standard output keeps one line per
// event; the line at a build's end names what it wrote into data/. Knows
// nothing of what the build makes.
//
// The build decides by modification times. A source saved with a time from
// before the last build (a backup copied back with its time, an archive
// unpacked) would look older than what was built from it, so such a source
// gets the time of the moment it is seen changed.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "FileWatch.h"
#include "platform/ProcessGroup.h"

class SourceBuilder {
public:
    // The build target that makes data/ from content/.
    static constexpr const char* kTarget = "content";
    // The lock file in the build folder, held while a build runs.
    static constexpr const char* kLockName = "quorvane-build.lock";
    // How often the sources are looked at, in seconds.
    static constexpr double kPollInterval = 0.1;
    // How many files a build's line names before "and N more".
    static constexpr size_t kNamed = 4;

    // The CMake build folder `dir` as an absolute path, checked to build the
    // sources of `sourceRoot` (the folder holding data/). Throws UsageError
    // naming what is wrong, or saying that this platform cannot build.
    static std::string checkBuildFolder(const std::string& dir, const std::string& sourceRoot);

    // Watches the files under `sources` for the build in `buildDir`, which
    // writes into `output`.
    SourceBuilder(std::string sources, std::string buildDir, std::string output = "data");
    // Ends a build still running (every process of its group), and waits
    // for it; says so on standard error.
    ~SourceBuilder();
    SourceBuilder(const SourceBuilder&) = delete;
    SourceBuilder& operator=(const SourceBuilder&) = delete;

    // At most every kPollInterval seconds of `now`: notes a build that ended
    // and starts one when a source changed. One line per event.
    std::vector<std::string> poll(double now);

private:
    // Watches the files under `sources` not yet watched. A file found
    // after the first look counts as added once it is still there at the
    // next look (an editor's temporary file is gone by then, and is no
    // longer watched).
    void findNewFiles();
    // Starts the build for the sources changed, first giving those whose
    // modification time lies before `builtUntil` the time now; a line
    // saying so, why it waits, or why it could not start; empty when it
    // still waits and said so before.
    std::string startBuild();
    // The line for a build that ended: what it wrote into `output`.
    std::string buildEnded(bool succeeded, double now);
    // What each file under `output` is now.
    std::map<std::string, FileStatus> outputNow() const;

    std::string sources;
    std::string buildDir;
    std::string output;
    FileWatch files;
    bool looked = false;
    std::vector<std::string> arrived; // files found at the last look
    ProcessGroup build;
    double buildStart = 0.0;
    bool waitingSaid = false;                 // the line that the build waits for another was printed
    int64_t otherFrom = 0;                    // file times from the start of the other build waited for
    int64_t otherUntil = 0;                   // to the last look that found it running
    std::map<std::string, FileStatus> before; // `output` as the running build found it
    int64_t builtUntil;                       // file time up to which a build may have written `output`
    std::vector<std::string> changed;         // sources seen changed since the running build started
    std::vector<std::string> added;           // and sources added
    std::vector<std::string> retimed;         // and sources given the time now
    double lastPoll = -1e9;
};
