#include "../FileStatus.h"

#include <windows.h>

#include <vector>

namespace {

// Windows counts file times in 100 ns steps since 1601.
constexpr int64_t kFrom1601To1970 = 11644473600LL * 10000000LL;

int64_t nanoseconds(int64_t ticks)
{
    return (ticks - kFrom1601To1970) * 100;
}

int64_t nanoseconds(const FILETIME& time)
{
    return nanoseconds(static_cast<int64_t>((static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime));
}

std::wstring wide(const std::string& text)
{
    if (text.empty())
        return std::wstring();
    const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring result(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &result[0], length);
    return result;
}

std::string narrow(const wchar_t* text)
{
    const int length = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (length <= 1)
        return std::string();
    std::string result(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, &result[0], length, nullptr, nullptr);
    result.resize(static_cast<size_t>(length - 1));
    return result;
}

std::string lastError()
{
    wchar_t* text = nullptr;
    FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        GetLastError(), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string message = text ? narrow(text) : "unknown error";
    LocalFree(text);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == '.'))
        message.pop_back();
    return message;
}

// Opens `path` to read its record only; folders too.
HANDLE openRecord(const std::string& path, DWORD access)
{
    return CreateFileW(wide(path).c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
        OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

} // namespace

FileStatus FileStatus::of(const std::string& path)
{
    FileStatus status;
    const HANDLE file = openRecord(path, FILE_READ_ATTRIBUTES);
    if (file == INVALID_HANDLE_VALUE)
        return status;
    BY_HANDLE_FILE_INFORMATION info{};
    FILE_BASIC_INFO basic{};
    if (GetFileInformationByHandle(file, &info)
        && GetFileInformationByHandleEx(file, FileBasicInfo, &basic, sizeof basic)) {
        status.exists = true;
        status.device = info.dwVolumeSerialNumber;
        status.inode = (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
        status.size = static_cast<int64_t>((static_cast<uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow);
        status.modified = nanoseconds(basic.LastWriteTime.QuadPart);
        status.changed = nanoseconds(basic.ChangeTime.QuadPart);
    }
    CloseHandle(file);
    return status;
}

int64_t FileStatus::now()
{
    FILETIME time{};
    GetSystemTimePreciseAsFileTime(&time);
    return nanoseconds(time);
}

bool FileStatus::touch(const std::string& path)
{
    const HANDLE file = openRecord(path, FILE_WRITE_ATTRIBUTES);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    FILETIME time{};
    GetSystemTimePreciseAsFileTime(&time);
    const bool done = SetFileTime(file, nullptr, nullptr, &time) != 0;
    CloseHandle(file);
    return done;
}

std::vector<FileStatus::Entry> FileStatus::list(const std::string& folder)
{
    std::vector<Entry> entries;
    WIN32_FIND_DATAW found{};
    const HANDLE search = FindFirstFileW(wide((folder.empty() ? "." : folder) + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return entries;
    do {
        const std::string name = narrow(found.cFileName);
        if (name == "." || name == "..")
            continue;
        // A junction or link to a folder is not followed.
        const bool isFolder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0
            && (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0;
        entries.push_back({name, isFolder});
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return entries;
}

std::string FileStatus::absolute(const std::string& path, std::string& error)
{
    const HANDLE file = openRecord(path, 0);
    if (file == INVALID_HANDLE_VALUE) {
        error = lastError();
        return "";
    }
    std::vector<wchar_t> name(MAX_PATH);
    DWORD length = GetFinalPathNameByHandleW(file, name.data(), static_cast<DWORD>(name.size()), FILE_NAME_NORMALIZED);
    if (length >= name.size()) {
        name.resize(length + 1);
        length = GetFinalPathNameByHandleW(file, name.data(), static_cast<DWORD>(name.size()), FILE_NAME_NORMALIZED);
    }
    const bool named = length != 0 && length < name.size();
    if (!named)
        error = lastError();
    CloseHandle(file);
    if (!named)
        return "";
    std::string result = narrow(name.data());
    // The name comes as \\?\C:\...; the drive's own form reads better.
    if (result.compare(0, 4, "\\\\?\\") == 0)
        result.erase(0, 4);
    return result;
}
