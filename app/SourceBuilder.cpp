#include "SourceBuilder.h"

#include <algorithm>
#include <cstdio>
#include <thread>

#include "UsageError.h"

namespace {

// Every file under `folder`, leaving out hidden files and editors' backups.
void listFiles(const std::string& folder, std::vector<std::string>& files)
{
    for (const FileStatus::Entry& entry : FileStatus::list(folder)) {
        const std::string& name = entry.name;
        if (name.empty() || name[0] == '.' || name.back() == '~' || name[0] == '#')
            continue;
        const std::string path = folder + "/" + name;
        if (entry.folder)
            listFiles(path, files);
        else
            files.push_back(path);
    }
}

std::string seconds(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.1f s", value);
    return text;
}

// The first kNamed of `names`, then how many more.
std::string named(const std::vector<std::string>& names)
{
    std::string text;
    for (size_t i = 0; i < names.size() && i < SourceBuilder::kNamed; ++i)
        text += (i ? ", " : "") + names[i];
    if (names.size() > SourceBuilder::kNamed)
        text += " and " + std::to_string(names.size() - SourceBuilder::kNamed) + " more";
    return text;
}

} // namespace

std::string SourceBuilder::checkBuildFolder(const std::string& dir, const std::string& sourceRoot)
{
    if (const char* why = ProcessGroup::unavailable())
        throw UsageError(std::string("--build: ") + why + "; build with cmake --build " + dir + " --target " + kTarget
            + ", and --edit shows what it writes");
    std::string error;
    const std::string folder = FileStatus::absolute(dir, error);
    if (folder.empty())
        throw UsageError("--build: " + dir + ": " + error);
    FILE* cache = std::fopen((folder + "/CMakeCache.txt").c_str(), "r");
    if (!cache)
        throw UsageError(
            "--build: " + dir + " holds no CMake build (no CMakeCache.txt); make one with cmake -S . -B " + dir);
    const std::string key = "CMAKE_HOME_DIRECTORY:INTERNAL=";
    std::string home;
    bool found = false;
    char chunk[4096];
    std::string line;
    while (!found && std::fgets(chunk, sizeof chunk, cache)) {
        line += chunk;
        if (line.back() != '\n' && !std::feof(cache))
            continue;
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
            line.pop_back();
        if (line.compare(0, key.size(), key) == 0) {
            home = line.substr(key.size());
            found = true;
        }
        line.clear();
    }
    std::fclose(cache);
    if (!found)
        throw UsageError("--build: " + dir + "/CMakeCache.txt does not say which sources it builds");
    const std::string root = FileStatus::absolute(sourceRoot, error);
    if (FileStatus::absolute(home, error) != root)
        throw UsageError("--build: " + dir + " builds " + home + ", not the show in " + root);
    return folder;
}

SourceBuilder::SourceBuilder(std::string sources, std::string buildDir, std::string output)
    : sources(std::move(sources))
    , buildDir(std::move(buildDir))
    , output(std::move(output))
    , files(kPollInterval)
    , builtUntil(FileStatus::now())
{
    findNewFiles();
}

SourceBuilder::~SourceBuilder()
{
    if (!build.running())
        return;
    std::fprintf(stderr,
        "quorvane: ending the content build that still runs (%s); %s/ keeps what it had or what "
        "the build finished\n",
        (buildDir + "/" + kLockName).c_str(), output.c_str());
    build.end();
}

void SourceBuilder::findNewFiles()
{
    for (const std::string& path : arrived) {
        if (!FileStatus::of(path).exists)
            files.forget(path);
        else if (std::find(added.begin(), added.end(), path) == added.end())
            added.push_back(path);
    }
    arrived.clear();
    std::vector<std::string> found;
    listFiles(sources, found);
    for (const std::string& path : found) {
        if (!files.watches(path)) {
            files.add(path);
            if (looked)
                arrived.push_back(path);
        }
    }
    looked = true;
}

std::map<std::string, FileStatus> SourceBuilder::outputNow() const
{
    std::vector<std::string> found;
    listFiles(output, found);
    std::map<std::string, FileStatus> now;
    for (const std::string& path : found)
        now[path] = FileStatus::of(path);
    return now;
}

std::string SourceBuilder::startBuild()
{
    // A source whose time lies before what the last build may have written
    // would look built already: it gets the time now.
    // So would one saved while another player's build ran.
    for (const std::string& path : changed) {
        const FileStatus status = FileStatus::of(path);
        const bool stale = status.modified <= builtUntil
            || (waitingSaid && status.modified >= otherFrom && status.modified <= otherUntil);
        if (status.exists && stale && FileStatus::touch(path)) {
            files.markRead(path);
            if (std::find(retimed.begin(), retimed.end(), path) == retimed.end())
                retimed.push_back(path);
        }
    }
    // A file added and gone again (an editor's) asks for nothing.
    for (auto path = added.begin(); path != added.end();) {
        if (FileStatus::of(*path).exists) {
            ++path;
        } else {
            files.forget(*path);
            path = added.erase(path);
        }
    }
    if (added.empty() && changed.empty())
        return "";
    std::string why;
    if (!added.empty())
        why = named(added) + (added.size() == 1 ? " was" : " were") + " added";
    if (!changed.empty())
        why += (why.empty() ? "" : ", ") + named(changed) + " changed";
    if (!retimed.empty())
        why += "; " + named(retimed) + (retimed.size() == 1 ? " was" : " were")
            + " older than the last build, now saved with the time now";

    const std::string jobs = std::to_string(std::max(1u, std::thread::hardware_concurrency()));
    const std::vector<std::string> command = {"cmake", "--build", buildDir, "--target", kTarget, "--parallel", jobs};
    const std::map<std::string, FileStatus> found = outputNow();
    std::string error;
    switch (build.start(command, buildDir + "/" + kLockName, error)) {
    case ProcessGroup::Start::Busy:
        // The other build started when its player wrote the lock file, and
        // may write anything until it ends.
        otherUntil = FileStatus::now();
        if (waitingSaid)
            return "";
        otherFrom = FileStatus::of(buildDir + "/" + kLockName).modified;
        waitingSaid = true;
        return "waiting for another content build in " + buildDir + " to end (" + error + ")";
    case ProcessGroup::Start::Failed:
        changed.clear();
        added.clear();
        retimed.clear();
        return "cannot run the content build: " + error;
    case ProcessGroup::Start::Started:
        break;
    }
    waitingSaid = false;
    before = found;
    changed.clear();
    added.clear();
    retimed.clear();
    return "building the content (" + why + "): cmake --build " + buildDir + " --target " + kTarget;
}

std::string SourceBuilder::buildEnded(bool succeeded, double now)
{
    builtUntil = FileStatus::now();
    const std::string took = seconds(now - buildStart);
    std::vector<std::string> written;
    const std::map<std::string, FileStatus> after = outputNow();
    for (const auto& [path, status] : after) {
        const auto was = before.find(path);
        if (was == before.end() || was->second != status)
            written.push_back(path);
    }
    for (const auto& [path, status] : before)
        if (!after.count(path))
            written.push_back(path + " (removed)");
    if (!succeeded)
        return "the content build failed after " + took + " (its messages are above); " + output
            + "/ keeps what it had or what the build wrote" + (written.empty() ? std::string() : ": " + named(written));
    if (written.empty())
        return "built the content in " + took + ": nothing needed building, " + output + "/ is as it was";
    return "built the content in " + took + ": " + named(written);
}

std::vector<std::string> SourceBuilder::poll(double now)
{
    std::vector<std::string> lines;
    if (now - lastPoll < kPollInterval)
        return lines;
    lastPoll = now;

    findNewFiles();
    for (const std::string& path : files.poll())
        if (std::find(changed.begin(), changed.end(), path) == changed.end()
            && std::find(added.begin(), added.end(), path) == added.end())
            changed.push_back(path);

    bool succeeded = false;
    if (build.running()) {
        if (!build.ended(succeeded))
            return lines;
        lines.push_back(buildEnded(succeeded, now));
    }
    if (!changed.empty() || !added.empty()) {
        const std::string line = startBuild();
        if (!line.empty())
            lines.push_back(line);
        if (build.running())
            buildStart = now;
    }
    return lines;
}
