#include "SubtitleTrackFlags.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

uint64_t bigEndian(const uint8_t* bytes, int count)
{
    uint64_t value = 0;
    for (int i = 0; i < count; ++i)
        value = value << 8 | bytes[i];
    return value;
}

// One box inside `data` from `at`: its type, where its contents start and
// where it ends; false when it does not fit.
struct Box {
    char type[5] = {};
    size_t contents = 0;
    size_t end = 0;
};

bool readBox(const std::vector<uint8_t>& data, size_t at, size_t limit, Box& box)
{
    if (at + 8 > limit)
        return false;
    uint64_t size = bigEndian(&data[at], 4);
    std::memcpy(box.type, &data[at + 4], 4);
    box.contents = at + 8;
    if (size == 1) {
        if (at + 16 > limit)
            return false;
        size = bigEndian(&data[at + 8], 8);
        box.contents = at + 16;
    } else if (size == 0) {
        size = limit - at;
    }
    if (size < box.contents - at || size > limit - at)
        return false;
    box.end = at + static_cast<size_t>(size);
    return true;
}

// The first box of type `type` among the boxes from `from` to `to`.
bool findChild(const std::vector<uint8_t>& data, size_t from, size_t to, const char* type, Box& found)
{
    Box box;
    for (size_t at = from; readBox(data, at, to, box); at = box.end) {
        if (std::memcmp(box.type, type, 4) == 0) {
            found = box;
            return true;
        }
    }
    return false;
}

} // namespace

bool SubtitleTrackFlags::leaveOff(const std::string& path, std::string& error)
{
    FILE* file = std::fopen(path.c_str(), "r+b");
    if (!file) {
        error = path + ": cannot open to set the subtitle track off: " + std::strerror(errno);
        return false;
    }
    // The top-level boxes, read by their headers, up to the movie box.
    std::vector<uint8_t> movie;
    long movieAt = -1;
    uint8_t header[16];
    for (long at = 0; std::fseek(file, at, SEEK_SET) == 0 && std::fread(header, 1, 8, file) == 8;) {
        uint64_t size = bigEndian(header, 4);
        if (size == 1) {
            if (std::fread(header + 8, 1, 8, file) != 8)
                break;
            size = bigEndian(header + 8, 8);
        }
        if (std::memcmp(header + 4, "moov", 4) == 0 && size >= 8 && size < (1u << 30)) {
            movie.resize(static_cast<size_t>(size));
            std::fseek(file, at, SEEK_SET);
            if (std::fread(movie.data(), 1, movie.size(), file) == movie.size())
                movieAt = at;
            break;
        }
        if (size < 8)
            break;
        at += static_cast<long>(size);
    }
    if (movieAt < 0) {
        std::fclose(file);
        error = path + ": no movie box to set the subtitle track off in";
        return false;
    }

    bool written = true;
    Box moov, trak;
    readBox(movie, 0, movie.size(), moov);
    for (size_t at = moov.contents; readBox(movie, at, moov.end, trak); at = trak.end) {
        Box tkhd, mdia, hdlr;
        if (std::memcmp(trak.type, "trak", 4) != 0 || !findChild(movie, trak.contents, trak.end, "tkhd", tkhd) ||
            !findChild(movie, trak.contents, trak.end, "mdia", mdia) ||
            !findChild(movie, mdia.contents, mdia.end, "hdlr", hdlr) || hdlr.contents + 12 > hdlr.end ||
            tkhd.contents + 4 > tkhd.end)
            continue;
        // hdlr: version and flags, a predefined word, then the handler type.
        const uint8_t* handler = &movie[hdlr.contents + 8];
        if (std::memcmp(handler, "sbtl", 4) != 0 && std::memcmp(handler, "text", 4) != 0 &&
            std::memcmp(handler, "subt", 4) != 0)
            continue;
        // tkhd: version, then three bytes of flags; 1 is "enabled".
        const size_t flags = tkhd.contents + 3;
        const uint8_t value = static_cast<uint8_t>(movie[flags] & ~1u);
        written = written && std::fseek(file, movieAt + static_cast<long>(flags), SEEK_SET) == 0 &&
                  std::fwrite(&value, 1, 1, file) == 1;
    }
    written = std::fclose(file) == 0 && written;
    if (!written)
        error = path + ": cannot write the subtitle track's flags";
    return written;
}
