#include "MusicTrack.h"

#include <SDL_mixer.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

// False for an Ogg stream whose last page is not marked as the end of the
// stream: a file cut short, or still being written. Other files pass.
bool endsWhole(const std::vector<unsigned char>& bytes)
{
    static const unsigned char kCapture[] = {'O', 'g', 'g', 'S'};
    constexpr size_t kFlags = 5;          // header type byte of a page
    constexpr unsigned char kLastPage = 4; // its end-of-stream flag
    if (bytes.size() < sizeof kCapture || std::memcmp(bytes.data(), kCapture, sizeof kCapture) != 0)
        return true;
    for (size_t at = bytes.size() - sizeof kCapture; at > 0; --at)
        if (std::memcmp(&bytes[at], kCapture, sizeof kCapture) == 0)
            return at + kFlags < bytes.size() && (bytes[at + kFlags] & kLastPage) != 0;
    return (bytes.size() > kFlags) && (bytes[kFlags] & kLastPage) != 0;
}

} // namespace

std::unique_ptr<MusicTrack> MusicTrack::load(const std::string& path, std::string& error)
{
    std::unique_ptr<MusicTrack> track(new MusicTrack());
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        error = std::string("cannot load the music: ") + std::strerror(errno);
        return nullptr;
    }
    unsigned char chunk[1 << 16];
    size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0)
        track->bytes.insert(track->bytes.end(), chunk, chunk + got);
    const bool readError = std::ferror(file) != 0;
    const int readErrno = errno;
    std::fclose(file);
    if (readError) {
        error = std::string("cannot load the music: ") + std::strerror(readErrno);
        return nullptr;
    }
    if (!endsWhole(track->bytes)) {
        error = "cannot load the music: its Ogg stream ends before its last page (still being written?)";
        return nullptr;
    }
    SDL_RWops* source = SDL_RWFromConstMem(track->bytes.data(), static_cast<int>(track->bytes.size()));
    track->mix = source ? Mix_LoadMUS_RW(source, 1) : nullptr;
    if (!track->mix) {
        error = std::string("cannot load the music: ") + Mix_GetError();
        return nullptr;
    }
    return track;
}

MusicTrack::~MusicTrack()
{
    if (mix)
        Mix_FreeMusic(mix);
}

double MusicTrack::length() const
{
    // SDL_mixer answers -1 when it cannot tell.
    const double seconds = Mix_MusicDuration(mix);
    return seconds > 0.0 ? seconds : 0.0;
}
