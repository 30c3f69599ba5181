#include "FileWatch.h"

#include <sys/stat.h>

#include <cstdio>
#include <ctime>
#include <functional>
#include <string_view>

namespace {

long long nanoseconds(const timespec& time)
{
    return static_cast<long long>(time.tv_sec) * 1000000000LL + time.tv_nsec;
}

} // namespace

FileWatch::FileWatch(double settle)
    : settle(settle)
{
}

bool FileWatch::Identity::operator==(const Identity& other) const
{
    return exists == other.exists && device == other.device && inode == other.inode && size == other.size
        && modified == other.modified && changed == other.changed;
}

FileWatch::Identity FileWatch::identify(const std::string& path)
{
    Identity identity;
    struct stat status {};
    if (stat(path.c_str(), &status) != 0)
        return identity;
    identity.exists = true;
    identity.device = status.st_dev;
    identity.inode = status.st_ino;
    identity.size = status.st_size;
    identity.modified = nanoseconds(status.st_mtim);
    identity.changed = nanoseconds(status.st_ctim);
    return identity;
}

bool FileWatch::hashOf(const std::string& path, uint64_t& hash)
{
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return false;
    std::string bytes;
    char chunk[1 << 16];
    size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0 && static_cast<long long>(bytes.size()) <= kHashLimit)
        bytes.append(chunk, got);
    const bool whole = !std::ferror(file) && static_cast<long long>(bytes.size()) <= kHashLimit;
    std::fclose(file);
    if (whole)
        hash = std::hash<std::string_view>()(bytes);
    return whole;
}

bool FileWatch::fresh(const Identity& identity) const
{
    timespec now {};
    clock_gettime(CLOCK_REALTIME, &now);
    return identity.exists && nanoseconds(now) - identity.changed < static_cast<long long>(settle * 1e9);
}

void FileWatch::takeAsRead(Entry& entry, const Identity& now) const
{
    entry.read = now;
    entry.seen = now;
    entry.hashed = now.exists && now.size <= kHashLimit && hashOf(entry.path, entry.hash);
    entry.unsure = fresh(now);
}

void FileWatch::add(const std::string& path)
{
    if (watches(path))
        return;
    Entry entry;
    entry.path = path;
    takeAsRead(entry, identify(path));
    entries.push_back(entry);
}

void FileWatch::markRead(const std::string& path)
{
    for (Entry& entry : entries) {
        if (entry.path == path) {
            takeAsRead(entry, identify(path));
            return;
        }
    }
}

bool FileWatch::watches(const std::string& path) const
{
    for (const Entry& entry : entries)
        if (entry.path == path)
            return true;
    return false;
}

std::vector<std::string> FileWatch::poll()
{
    std::vector<std::string> changed;
    for (Entry& entry : entries) {
        const Identity now = identify(entry.path);
        const bool moved = !(now == entry.seen);
        entry.seen = now;
        if (moved && fresh(now))
            continue; // may still be being written: wait until it holds still
        if (now == entry.read && !entry.unsure)
            continue;
        const Identity before = entry.read;
        const bool comparable = entry.hashed;
        const uint64_t hashBefore = entry.hash;
        takeAsRead(entry, now);
        bool same = false;
        if (!now.exists || !before.exists)
            same = now.exists == before.exists;
        else if (comparable && entry.hashed)
            same = entry.hash == hashBefore; // the same bytes, whatever the times say
        if (!same)
            changed.push_back(entry.path);
    }
    return changed;
}
