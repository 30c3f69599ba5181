#include "../FontFiles.h"

#include <windows.h>

#include <cstdlib>
#include <fstream>

namespace {

// The file a family's regular face comes in, as its makers name it.
struct FamilyFile {
    const char* family;
    const char* file;
};
const FamilyFile kFamilyFiles[] = {
    {"DejaVu Sans", "DejaVuSans.ttf"},
    {"Noto Sans", "NotoSans-Regular.ttf"},
};

// The Windows fonts folder: %WINDIR%\Fonts, or the system's Windows folder's.
std::string windowsFonts()
{
    const char* windir = std::getenv("WINDIR");
    std::string folder = windir && *windir ? windir : "";
    if (folder.empty()) {
        char buffer[MAX_PATH] = {};
        const UINT length = GetWindowsDirectoryA(buffer, MAX_PATH);
        if (length > 0 && length < MAX_PATH)
            folder = buffer;
    }
    return folder.empty() ? "" : folder + "\\Fonts";
}

// Where `family` is looked for, in order: the program's own data (the
// working directory is the data's folder), then the Windows fonts folder.
std::vector<std::string> candidates(const std::string& family)
{
    std::vector<std::string> paths;
    for (const FamilyFile& known : kFamilyFiles) {
        if (family != known.family)
            continue;
        paths.push_back(std::string("data/fonts/") + known.file);
        const std::string fonts = windowsFonts();
        if (!fonts.empty())
            paths.push_back(fonts + "\\" + known.file);
    }
    return paths;
}

} // namespace

std::vector<std::string> FontFiles::of(const std::string& family)
{
    std::vector<std::string> files;
    for (const std::string& path : candidates(family)) {
        if (std::ifstream(path, std::ios::binary))
            files.push_back(path);
    }
    return files;
}

std::string FontFiles::lookedFor(const std::vector<std::string>& families)
{
    std::string text = "found none of";
    bool first = true;
    for (const std::string& family : families) {
        for (const std::string& path : candidates(family)) {
            text += (first ? " " : ", ") + path;
            first = false;
        }
    }
    return text + " (the download has the first in its data folder)";
}
