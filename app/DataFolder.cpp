#include "DataFolder.h"

#include <SDL.h>

#include <filesystem>
#include <system_error>

namespace {

bool holdsData(const std::filesystem::path& folder)
{
    std::error_code error;
    return std::filesystem::is_regular_file(folder / DataFolder::kMarker, error);
}

} // namespace

std::string DataFolder::find(const std::string& programFolder)
{
    if (holdsData(".") || programFolder.empty())
        return {};
    const std::filesystem::path program(programFolder);
    for (const std::filesystem::path& candidate : {program / QUORVANE_DATA_FROM_PROGRAM, program}) {
        if (holdsData(candidate))
            return candidate.lexically_normal().string();
    }
    return {};
}

std::string DataFolder::programFolder()
{
    char* base = SDL_GetBasePath();
    if (!base)
        return {};
    std::string folder(base);
    SDL_free(base);
    return folder;
}
