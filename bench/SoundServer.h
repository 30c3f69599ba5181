// A private sound server for measuring what is heard: PulseAudio, or
// PipeWire with its PulseAudio service and session manager, started in a
// fresh folder with one sink that plays to nobody (a null sink at 44100 Hz)
// and ended with the object. While it lives, PULSE_SERVER (and PipeWire's
// runtime folder) point this process's SDL and libpulse at it, so SDL's
// pulseaudio driver (or its pipewire driver) plays there and the sink's
// monitor can be recorded. Other processes never see it.
#pragma once

#include <string>
#include <sys/types.h>

class SoundServer {
public:
    enum class Kind { PulseAudio, PipeWire };

    // The sink's name, and the source that records what it plays.
    static constexpr const char* kSink = "quorvane_heard";
    static constexpr const char* kMonitor = "quorvane_heard.monitor";

    // Starts the server and waits until it answers. Throws
    // std::runtime_error saying what is missing or failed.
    explicit SoundServer(Kind kind);
    ~SoundServer();
    SoundServer(const SoundServer&) = delete;
    SoundServer& operator=(const SoundServer&) = delete;

    // "pulseaudio" or "pipewire": how the command line names a kind; throws
    // std::invalid_argument for any other name.
    static Kind kindNamed(const std::string& name);

private:
    // Ends the server's processes and removes the folder.
    void end();

    std::string folder;
    pid_t group = -1; // the server's processes
};
