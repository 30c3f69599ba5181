// Tells which of a set of files changed in content since the caller read
// them, by looking at them when asked (poll). A file counts as changed when
// its identity differs from the one it had when the caller read it: whether
// it exists, its size, modification and change times, inode and device; a
// file of up to kHashLimit bytes then counts as changed only when its
// content differs too, so a build that rewrites the same bytes changes
// nothing. A file whose change time lies less than a settling time before
// the look may still be being written: it is reported once it has held
// still from one poll to the next, and read again when it held still after
// a report. Reads files only to hash them; what they hold is the caller's.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/FileStatus.h"

class FileWatch {
public:
    // Files up to this size are compared by content.
    static constexpr long long kHashLimit = 8LL << 20;

    // `settle`: seconds a change must lie in the past before the file is
    // taken as written; the caller polls at least that far apart.
    explicit FileWatch(double settle);

    // Watches `path` from now on, as it stands now: call before reading it.
    // A path already watched keeps what it has.
    void add(const std::string& path);
    // Takes `path` (watched or not) as read as it stands now.
    void markRead(const std::string& path);
    // Stops watching `path`.
    void forget(const std::string& path);
    // True when `path` is watched.
    bool watches(const std::string& path) const;

    // The watched paths whose content changed since they were read, in the
    // order added; each is then taken as read as it stands now.
    std::vector<std::string> poll();

private:
    // Whether it exists, its size, modification and change times, inode
    // and device.
    using Identity = FileStatus;
    struct Entry {
        std::string path;
        Identity read;       // as the caller read it
        bool hashed = false; // hash is the content's as read
        uint64_t hash = 0;
        Identity seen;       // at the last poll
        bool unsure = false; // read while it may have been written: check once it holds still
    };

    static Identity identify(const std::string& path);
    // The hash of the file's content; false when it is too large or cannot be read.
    static bool hashOf(const std::string& path, uint64_t& hash);
    // True when the file changed less than `settle` seconds ago.
    bool fresh(const Identity& identity) const;
    // Records `entry` as read now, with identity `now`.
    void takeAsRead(Entry& entry, const Identity& now) const;

    double settle;
    std::vector<Entry> entries;
};
