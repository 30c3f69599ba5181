#include "FileWatch.h"

#include <cstdio>
#include <functional>
#include <string_view>

FileWatch::FileWatch(double settle)
    : settle(settle)
{
}

FileWatch::Identity FileWatch::identify(const std::string& path)
{
    return FileStatus::of(path);
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
    return identity.exists && FileStatus::now() - identity.changed < static_cast<int64_t>(settle * 1e9);
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

void FileWatch::forget(const std::string& path)
{
    for (auto entry = entries.begin(); entry != entries.end(); ++entry) {
        if (entry->path == path) {
            entries.erase(entry);
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
