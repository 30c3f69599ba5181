// Where the music is playing, counted in the samples the mixer has handed to
// the audio device since the music was started at a known position. SDL_mixer's
// own Mix_GetMusicPosition tells where its decoder is, which reads ahead of
// the mix by a varying amount (its steps range from under 40 to over 60 ms
// where the mix moves 46.4 ms each time); the samples mixed move evenly.
// Installs itself as SDL_mixer's post-mix hook, which runs on the audio
// thread after every buffer; the rest runs on the caller's thread.
#pragma once

#include <mutex>
#include <vector>

typedef struct _Mix_Music Mix_Music;

class MusicPlayhead {
public:
    // The position after one mix, and the wall time at its end.
    struct Mix {
        double at;       // seconds of SDL's fine counter
        double position; // seconds of music
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

    // The position after the last buffer mixed and the wall time then; a
    // negative position when no music has been mixed since play, or it
    // stopped.
    Mix last() const;

    // Notes every mix in `mixes` from now on, while there is room in it (the
    // hook does not allocate); the caller reads it after stopping.
    void record(std::vector<Mix>* mixes);

    // Seconds of SDL's fine counter.
    static double now();

private:
    static void hook(void* playhead, unsigned char* stream, int length);

    double bytesPerSecond = 0.0;
    mutable std::mutex lock; // guards what follows, shared with the hook
    bool starting = false;   // the next mix starts at startPosition
    double startPosition = 0.0;
    Mix latest{0.0, -1.0};
    std::vector<Mix>* mixes = nullptr;
    size_t recorded = 0;
};
