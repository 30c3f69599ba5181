#include "../FileStatus.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace {

int64_t nanoseconds(const timespec& time)
{
    return static_cast<int64_t>(time.tv_sec) * 1000000000LL + time.tv_nsec;
}

} // namespace

FileStatus FileStatus::of(const std::string& path)
{
    FileStatus status;
    struct stat info { };
    if (stat(path.c_str(), &info) != 0)
        return status;
    status.exists = true;
    status.device = static_cast<uint64_t>(info.st_dev);
    status.inode = static_cast<uint64_t>(info.st_ino);
    status.size = static_cast<int64_t>(info.st_size);
    status.modified = nanoseconds(info.st_mtim);
    status.changed = nanoseconds(info.st_ctim);
    return status;
}

int64_t FileStatus::now()
{
    timespec time{};
    clock_gettime(CLOCK_REALTIME, &time);
    return nanoseconds(time);
}

bool FileStatus::touch(const std::string& path)
{
    // The access time as it is, the modification time now.
    const timespec times[2] = {{0, UTIME_OMIT}, {0, UTIME_NOW}};
    return utimensat(AT_FDCWD, path.c_str(), times, 0) == 0;
}

std::vector<FileStatus::Entry> FileStatus::list(const std::string& folder)
{
    std::vector<Entry> entries;
    DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
    if (!dir)
        return entries;
    while (const dirent* found = readdir(dir)) {
        const std::string name = found->d_name;
        if (name == "." || name == "..")
            continue;
        bool isFolder = found->d_type == DT_DIR;
        // Some file systems leave the type to a look of its own; a link to
        // a folder is not followed either way.
        if (found->d_type == DT_UNKNOWN) {
            struct stat info { };
            isFolder = lstat((folder + "/" + name).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
        }
        entries.push_back({name, isFolder});
    }
    closedir(dir);
    return entries;
}

std::string FileStatus::absolute(const std::string& path, std::string& error)
{
    char resolved[PATH_MAX];
    if (!realpath(path.c_str(), resolved)) {
        error = std::strerror(errno);
        return "";
    }
    return resolved;
}
