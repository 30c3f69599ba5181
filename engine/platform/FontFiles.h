// Where this system keeps the file of a font family's regular face, for the
// captions. One side per platform, chosen by the build: fontconfig/ asks
// fontconfig; windows/ looks in the program's own data/fonts/, then in the
// Windows fonts folder.
#pragma once

#include <string>
#include <vector>

struct FontFiles {
    // The files of the regular face of `family` that are there, best first;
    // empty when there is none.
    static std::vector<std::string> of(const std::string& family);
    // What of() looked for, given the `families` it found nothing of, for a
    // message: the families asked of fontconfig, or the files looked at.
    static std::string lookedFor(const std::vector<std::string>& families);
};
