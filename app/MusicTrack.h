// The show's music as SDL_mixer plays it, decoded from a copy of the file
// held in memory: a build that rewrites the file while it plays (a new mix)
// cannot change what the decoder reads, and a reload can read the new file
// while the old track plays on. Needs the audio device open.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

typedef struct _Mix_Music Mix_Music;

class MusicTrack {
public:
    // The largest file read, in bytes; the show's music takes some 6 MiB.
    static constexpr size_t kMaxBytes = size_t{256} << 20;

    // Reads the file at `path` and opens it as music; null, with `error`
    // saying why, when it cannot be read, is larger than kMaxBytes, is an Ogg
    // stream that does not end with a whole last page, or SDL_mixer cannot
    // play it. May run on any thread.
    static std::unique_ptr<MusicTrack> load(const std::string& path, std::string& error);
    ~MusicTrack();
    MusicTrack(const MusicTrack&) = delete;
    MusicTrack& operator=(const MusicTrack&) = delete;

    // The track for SDL_mixer's calls; it lives as long as this object.
    Mix_Music* music() const { return mix; }
    // The track's length in seconds; 0 when SDL_mixer cannot tell.
    double length() const;

private:
    MusicTrack() = default;

    std::vector<unsigned char> bytes; // what the decoder reads, for as long as it lives
    Mix_Music* mix = nullptr;
};
