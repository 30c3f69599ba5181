#include "SourceBuilder.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <thread>

#include "UsageError.h"

extern char** environ;

namespace {

std::string realPath(const std::string& path)
{
    char resolved[PATH_MAX];
    if (!realpath(path.c_str(), resolved))
        return "";
    return resolved;
}

// Every file under `folder`, leaving out hidden files and editors' backups.
void listFiles(const std::string& folder, std::vector<std::string>& files)
{
    DIR* dir = opendir(folder.c_str());
    if (!dir)
        return;
    while (const dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.empty() || name[0] == '.' || name.back() == '~' || name[0] == '#')
            continue;
        const std::string path = folder + "/" + name;
        if (entry->d_type == DT_DIR)
            listFiles(path, files);
        else
            files.push_back(path);
    }
    closedir(dir);
}

std::string seconds(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.1f s", value);
    return text;
}

} // namespace

std::string SourceBuilder::checkBuildFolder(const std::string& dir, const std::string& sourceRoot)
{
    const std::string folder = realPath(dir);
    if (folder.empty())
        throw UsageError("--build: " + dir + ": " + std::strerror(errno));
    std::ifstream cache(folder + "/CMakeCache.txt");
    if (!cache)
        throw UsageError("--build: " + dir + " holds no CMake build (no CMakeCache.txt); make one with cmake -S . -B "
            + dir);
    const std::string key = "CMAKE_HOME_DIRECTORY:INTERNAL=";
    std::string line;
    while (std::getline(cache, line)) {
        if (line.compare(0, key.size(), key) != 0)
            continue;
        const std::string home = realPath(line.substr(key.size()));
        if (home != realPath(sourceRoot))
            throw UsageError("--build: " + dir + " builds " + line.substr(key.size()) + ", not the show in "
                + realPath(sourceRoot));
        return folder;
    }
    throw UsageError("--build: " + dir + "/CMakeCache.txt does not say which sources it builds");
}

SourceBuilder::SourceBuilder(std::string sources, std::string buildDir)
    : sources(std::move(sources))
    , buildDir(std::move(buildDir))
    , files(kPollInterval)
{
    findNewFiles();
}

SourceBuilder::~SourceBuilder()
{
    if (build <= 0)
        return;
    kill(-build, SIGTERM);
    waitpid(build, nullptr, 0);
}

bool SourceBuilder::findNewFiles()
{
    std::vector<std::string> found;
    listFiles(sources, found);
    bool added = false;
    for (const std::string& path : found) {
        if (!files.watches(path)) {
            files.add(path);
            added = true;
        }
    }
    const bool first = !looked;
    looked = true;
    return added && !first;
}

std::string SourceBuilder::startBuild(const std::string& why)
{
    const std::string jobs = std::to_string(std::max(1u, std::thread::hardware_concurrency()));
    const char* argv[] = {"cmake", "--build", buildDir.c_str(), "--target", kTarget, "--parallel", jobs.c_str(), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, STDERR_FILENO, STDOUT_FILENO);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    // Its own process group, so that ending the player ends the whole build.
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);
    std::fflush(stdout);
    const int error
        = posix_spawnp(&build, "cmake", &actions, &attributes, const_cast<char* const*>(argv), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (error != 0) {
        build = -1;
        return std::string("cannot run cmake for the content build: ") + std::strerror(error);
    }
    return "building the content (" + why + "): cmake --build " + buildDir + " --target " + kTarget;
}

std::vector<std::string> SourceBuilder::poll(double now)
{
    std::vector<std::string> lines;
    if (now - lastPoll < kPollInterval)
        return lines;
    lastPoll = now;

    const bool newFiles = findNewFiles();
    const std::vector<std::string> changed = files.poll();
    if (!changed.empty())
        changedSince = changed.front() + (changed.size() > 1 ? " and more" : "") + " changed";
    else if (newFiles)
        changedSince = "a new file in " + sources;

    if (build > 0) {
        int status = 0;
        if (waitpid(build, &status, WNOHANG) != build)
            return lines;
        build = -1;
        const std::string took = seconds(now - buildStart);
        if (WIFEXITED(status) && WEXITSTATUS(status) == 0)
            lines.push_back("built the content in " + took);
        else
            lines.push_back("the content build failed after " + took
                + " (its messages are above); data/ keeps what it had or what the build wrote");
    }
    if (!changedSince.empty()) {
        lines.push_back(startBuild(changedSince));
        buildStart = now;
        changedSince.clear();
    }
    return lines;
}
