#include "../FontFiles.h"

#include <fontconfig/fontconfig.h>

std::vector<std::string> FontFiles::of(const std::string& family)
{
    FcConfig* config = FcInitLoadConfigAndFonts();
    if (!config)
        return {};
    const FcChar8* name = reinterpret_cast<const FcChar8*>(family.c_str());
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, name);
    FcPatternAddInteger(pattern, FC_WEIGHT, FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, FC_SLANT_ROMAN);
    FcConfigSubstitute(config, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(config, pattern, &result);
    std::vector<std::string> files;
    // fontconfig answers with its nearest font of any family; only the
    // family asked for will do.
    bool ofFamily = false;
    FcChar8* found = nullptr;
    for (int i = 0; match && !ofFamily && FcPatternGetString(match, FC_FAMILY, i, &found) == FcResultMatch; ++i)
        ofFamily = FcStrCmpIgnoreCase(found, name) == 0;
    FcChar8* path = nullptr;
    if (ofFamily && FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch)
        files.emplace_back(reinterpret_cast<const char*>(path));
    if (match)
        FcPatternDestroy(match);
    FcPatternDestroy(pattern);
    FcConfigDestroy(config);
    return files;
}

std::string FontFiles::lookedFor(const std::vector<std::string>& families)
{
    std::string text = "fontconfig knows no font of the family";
    for (size_t i = 0; i < families.size(); ++i)
        text += std::string(i ? " or " : " ") + "\"" + families[i] + "\"";
    return text + " (Debian's fonts-dejavu-core has the first)";
}
