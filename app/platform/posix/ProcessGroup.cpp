#include "../ProcessGroup.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>
#ifdef __linux__
#include <sys/prctl.h>
#endif

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

// True while a process of group `group` lives (or waits to be reaped).
bool groupLives(int group)
{
    return kill(-group, 0) == 0 || errno == EPERM;
}

} // namespace

const char* ProcessGroup::unavailable()
{
    return nullptr;
}

ProcessGroup::~ProcessGroup()
{
    end();
}

ProcessGroup::Start ProcessGroup::start(
    const std::vector<std::string>& command, const std::string& lockPath, std::string& error)
{
    if (running() || command.empty()) {
        error = "a group is running already";
        return Start::Failed;
    }
    lock = open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (lock < 0) {
        error = lockPath + ": " + std::strerror(errno);
        return Start::Failed;
    }
    if (flock(lock, LOCK_EX | LOCK_NB) != 0) {
        const int why = errno;
        char holder[32] = {};
        const ssize_t got = pread(lock, holder, sizeof holder - 1, 0);
        holder[got > 0 ? got : 0] = '\0';
        close(lock);
        lock = -1;
        if (why != EWOULDBLOCK) {
            error = lockPath + ": " + std::strerror(why);
            return Start::Failed;
        }
        const int pid = std::atoi(holder);
        error = lockPath + " is held by "
            + (pid > 0 ? "what process " + std::to_string(pid) + " started" : "another process");
        return Start::Busy;
    }
#ifdef __linux__
    // What of the group outlives its parent comes to this process, which
    // can then wait for every one of them.
    prctl(PR_SET_CHILD_SUBREAPER, 1);
#endif

    std::vector<char*> argv;
    for (const std::string& word : command)
        argv.push_back(const_cast<char*>(word.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, STDERR_FILENO, STDOUT_FILENO);
    // The lock goes with the group (a dup2 onto itself keeps it open
    // across exec), so that it is held while any process of it lives.
    posix_spawn_file_actions_adddup2(&actions, lock, lock);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);
    std::fflush(stdout);
    std::fflush(stderr);
    pid_t pid = -1;
    const int failed = posix_spawnp(&pid, argv[0], &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (failed != 0) {
        unlock();
        error = std::string("cannot run ") + command[0] + ": " + std::strerror(failed);
        return Start::Failed;
    }
    leader = pid;
    leaderDone = false;
    // Who holds the lock, for the message of a player that finds it held.
    const std::string holder = std::to_string(getpid()) + "\n";
    if (ftruncate(lock, 0) != 0 || pwrite(lock, holder.data(), holder.size(), 0) < 0) {
        // The lock holds all the same; only the message is poorer.
    }
    return Start::Started;
}

bool ProcessGroup::running() const
{
    return leader > 0;
}

bool ProcessGroup::reap()
{
    while (true) {
        int status = 0;
        const pid_t pid = waitpid(-leader, &status, WNOHANG);
        if (pid <= 0)
            break;
        if (pid == leader) {
            leaderDone = true;
            leaderStatus = status;
        }
    }
    return leaderDone;
}

bool ProcessGroup::ended(bool& succeeded)
{
    if (!running() || !reap())
        return false;
    succeeded = WIFEXITED(leaderStatus) && WEXITSTATUS(leaderStatus) == 0;
    endGroup();
    return true;
}

void ProcessGroup::end()
{
    if (running())
        endGroup();
}

void ProcessGroup::endGroup()
{
    // Asked, then forced after kGrace; a process that not even SIGKILL
    // ends within a second more (stuck in the kernel) is left.
    const auto asked = Clock::now();
    const auto forceAt = asked + std::chrono::duration<double>(kGrace);
    const auto giveUpAt = forceAt + std::chrono::seconds(1);
    bool askedYet = false;
    bool forced = false;
    while (true) {
        reap();
        if (leaderDone && !groupLives(leader))
            break;
        const auto now = Clock::now();
        if (!askedYet) {
            kill(-leader, SIGTERM);
            askedYet = true;
        } else if (!forced && now > forceAt) {
            kill(-leader, SIGKILL);
            forced = true;
        } else if (now > giveUpAt) {
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    leader = -1;
    unlock();
}

void ProcessGroup::unlock()
{
    if (lock < 0)
        return;
    flock(lock, LOCK_UN);
    close(lock);
    lock = -1;
}
