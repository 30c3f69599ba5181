// A program run beside the player as a process group of its own, and the
// lock file that keeps two such groups from running in the same place at
// once: the group holds the lock while any process of it lives, so a
// second player waits even for a group whose player was killed outright.
// Ending the group ends every process in it and waits until none is left.
// Where groups cannot be started (Windows), unavailable() says why and
// start() fails with that. What the program does is the caller's.
#pragma once

#include <string>
#include <vector>

class ProcessGroup {
public:
    // Seconds end() gives the group to end when asked before forcing it.
    static constexpr double kGrace = 5.0;

    enum class Start {
        Started,
        Busy,   // another group holds the lock
        Failed, // the program could not be run
    };

    // Why process groups cannot be started here; nullptr where they can.
    static const char* unavailable();

    ProcessGroup() = default;
    // Ends a group still running, as end() does.
    ~ProcessGroup();
    ProcessGroup(const ProcessGroup&) = delete;
    ProcessGroup& operator=(const ProcessGroup&) = delete;

    // Takes the lock file `lockPath` (made when missing; it then holds the
    // id of this process, written as the group starts) and runs `command`
    // (a program looked up on PATH, then its arguments) as a new group with
    // nothing on its standard input and its standard output on this
    // process's standard error. Busy, with `error` naming the holder, when
    // another group holds the lock; Failed, with `error` saying why, when
    // the program cannot be run. Not while a group runs.
    Start start(const std::vector<std::string>& command, const std::string& lockPath, std::string& error);
    // True from a start until ended() or end().
    bool running() const;
    // True once the program started has ended, without waiting: with
    // `succeeded` when it exited with 0. What it left running of its group
    // is ended, and the lock let go.
    bool ended(bool& succeeded);
    // Asks every process of the group to end, forces those left after
    // kGrace, and waits until none is left; lets the lock go.
    void end();

private:
    // Reaps what of the group has ended; true when the program has.
    bool reap();
    // Ends and reaps every process of the group.
    void endGroup();
    void unlock();

    int leader = -1; // the program's process, whose id the group takes
    int leaderStatus = 0;
    bool leaderDone = false;
    int lock = -1;
};
