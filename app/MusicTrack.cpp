#include "MusicTrack.h"

#include <SDL_mixer.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

// False for an Ogg stream that does not end with a whole page marked as the
// end of the stream: a file cut short, or still being written. Walks the
// pages from the first, each a 27-byte header, its segment table and the
// segments. Other files pass.
bool endsWhole(const std::vector<unsigned char>& bytes)
{
    static const unsigned char kCapture[] = {'O', 'g', 'g', 'S'};
    constexpr size_t kHeader = 27;         // bytes of a page's header
    constexpr size_t kFlags = 5;           // its header type byte
    constexpr size_t kSegments = 26;       // its number of segments
    constexpr unsigned char kLastPage = 4; // the end-of-stream flag
    if (bytes.size() < sizeof kCapture || std::memcmp(bytes.data(), kCapture, sizeof kCapture) != 0)
        return true;
    size_t at = 0;
    bool last = false;
    while (at < bytes.size()) {
        if (bytes.size() - at < kHeader || std::memcmp(&bytes[at], kCapture, sizeof kCapture) != 0)
            return false;
        const size_t segments = bytes[at + kSegments];
        if (bytes.size() - at - kHeader < segments)
            return false;
        size_t body = 0;
        for (size_t i = 0; i < segments; ++i)
            body += bytes[at + kHeader + i];
        last = (bytes[at + kFlags] & kLastPage) != 0;
        at += kHeader + segments + body;
    }
    return at == bytes.size() && last;
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
    // A file over the bound is refused by its size, before it is read; one
    // that grows while it is read, by what was read.
    struct stat status {};
    const bool tooLarge
        = fstat(fileno(file), &status) == 0 && static_cast<unsigned long long>(status.st_size) > kMaxBytes;
    unsigned char chunk[1 << 16];
    size_t got = 0;
    while (!tooLarge && track->bytes.size() <= kMaxBytes && (got = std::fread(chunk, 1, sizeof chunk, file)) > 0)
        track->bytes.insert(track->bytes.end(), chunk, chunk + got);
    const bool readError = std::ferror(file) != 0;
    const int readErrno = errno;
    std::fclose(file);
    if (readError) {
        error = std::string("cannot load the music: ") + std::strerror(readErrno);
        return nullptr;
    }
    if (tooLarge || track->bytes.size() > kMaxBytes) {
        error = "cannot load the music: the file is larger than " + std::to_string(kMaxBytes >> 20)
            + " MiB, which the player would hold in memory";
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
