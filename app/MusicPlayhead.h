// Where the music is heard: the music's position leaving the audio device,
// counted in the samples the mixer has handed to the device since the music
// was started at a known position, less what the device still holds. The
// device holds at least the buffer just mixed (SDL's dummy and disk drivers
// play it while they wait for the next mix); through a PulseAudio server
// the server's reports say where its sink is (SoundServerPosition).
// SDL_mixer's own Mix_GetMusicPosition tells where its decoder is, which
// reads ahead of the mix by a varying amount; the samples mixed move evenly.
// Installs itself as SDL_mixer's post-mix hook, which runs on the audio
// thread after every buffer; the rest runs on the caller's thread.
#pragma once

#include <memory>
#include <mutex>
#include <vector>

typedef struct _Mix_Music Mix_Music;
class SoundServerPosition;

class MusicPlayhead {
public:
    // One mix: the music mixed by its end, and the music heard.
    struct Mix {
        double at;       // when the sample at `position` leaves the device: seconds of SDL's fine counter
        double position; // seconds of music
        double mixedAt;  // when the mix ended
        double mixed;    // seconds of music mixed by then
    };

    // Hooks into the open audio device.
    MusicPlayhead();
    ~MusicPlayhead();
    MusicPlayhead(const MusicPlayhead&) = delete;
    MusicPlayhead& operator=(const MusicPlayhead&) = delete;

    // Plays `music` once from `position` (seconds); false on failure, with
    // SDL_mixer's error set. The first buffer mixed afterwards starts there.
    bool play(Mix_Music* music, double position);
    // Stops the music.
    void stop();
    // Whether `music` starts at `position`, tried at no volume and halted at
    // once: some types load but cannot start anywhere but at 0 (MIDI). False
    // with SDL_mixer's error set. Stops the music playing.
    bool startsAt(Mix_Music* music, double position);

    // The music heard after the last buffer mixed: the position leaving the
    // device at the end of that mix, or, while the device still plays what
    // came before the start, the start position and the moment it will
    // leave. A negative position when no music has been mixed since play, or
    // it stopped.
    Mix last() const;

    // Seconds of sound the device held after the last mix, at least that
    // mix's buffer; 0 before the first.
    double deviceHold() const;

    // Notes every mix in `mixes` from now on, while there is room in it (the
    // hook does not allocate); the caller reads it after stopping.
    void record(std::vector<Mix>* mixes);

    // Seconds of SDL's fine counter.
    static double now();

private:
    static void hook(void* playhead, unsigned char* stream, int length);

    double bytesPerSecond = 0.0;
    std::unique_ptr<SoundServerPosition> server; // on a PulseAudio server
    mutable std::mutex lock; // guards what follows, shared with the hook
    bool starting = false;   // the next mix starts at startPosition
    double startPosition = 0.0;
    double streamEnd = 0.0;   // seconds of sound mixed since the device opened
    double streamStart = 0.0; // where in them the music started
    double hold = 0.0;
    Mix latest{0.0, -1.0, 0.0, -1.0};
    std::vector<Mix>* mixes = nullptr;
    size_t recorded = 0;
};
