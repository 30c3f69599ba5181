// Ctrl+C and kill turned from the end of the process into a request that the
// frame loop reads, so that the player ends what it started (the content
// build) before it goes; then main ends the process by the same signal with
// its default action, so that the shell sees how it ended. Until
// catchStops() the signals keep their default action, as in the show as
// made.
#pragma once

class StopSignal {
public:
    // From now on SIGINT and SIGTERM (and SIGHUP where there is one) only
    // ask the player to stop.
    static void catchStops();
    // True once a signal asked the player to stop.
    static bool requested();
    // Ends the process as the signal that asked it to stop would have; when
    // none did, returns.
    static void endAsAsked();
};
