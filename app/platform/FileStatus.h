// What the player learns of a file without reading it (whether it exists,
// where it lives, its size and times), the files of a folder, and the wall
// clock that file times are written by. The maker's player watches the
// show's files and sources through it; what a change means is left to
// FileWatch and its callers. One side per platform (posix/, windows/),
// chosen by the build.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct FileStatus {
    bool exists = false;
    uint64_t device = 0; // the volume (POSIX st_dev; Windows: its serial number)
    uint64_t inode = 0;  // the file on the volume (POSIX st_ino; Windows: the file index)
    int64_t size = 0;
    int64_t modified = 0; // nanoseconds since 1970, as a save or a restore leaves it
    int64_t changed = 0;  // of the file's record (POSIX ctime): no program can set it back

    bool operator==(const FileStatus& other) const
    {
        return exists == other.exists && device == other.device && inode == other.inode && size == other.size
            && modified == other.modified && changed == other.changed;
    }
    bool operator!=(const FileStatus& other) const { return !(*this == other); }

    // What `path` is now; `exists` false when it cannot be looked at.
    static FileStatus of(const std::string& path);
    // The wall clock now, in nanoseconds since 1970: the clock that
    // `modified` and `changed` are set from.
    static int64_t now();
    // Sets the modification time of `path` to now; false when it cannot.
    static bool touch(const std::string& path);

    struct Entry {
        std::string name; // without the folder
        bool folder = false;
    };
    // The entries of `folder` (without "." and ".."), in no set order;
    // empty when it cannot be read.
    static std::vector<Entry> list(const std::string& folder);
    // `path` as an absolute path with its links resolved; empty, with
    // `error` saying why, when there is no such file or folder.
    static std::string absolute(const std::string& path, std::string& error);
};
