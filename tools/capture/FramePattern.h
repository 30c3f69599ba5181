// A file name pattern with one printf integer conversion for the frame
// index, such as "frame_%05d.png", or a plain file name for a single frame. The pattern comes from the command line,
// so it is checked conversion by conversion and never handed to printf
// whole: only the one checked conversion ever is.
#pragma once

#include <string>

class FramePattern {
public:
    // Longest width or precision accepted in the conversion ("%99d").
    static constexpr int kMaxFieldDigits = 2;

    // Checks `pattern`: at most one integer conversion (d, i, u, o, x or X
    // with flags, width and precision; no length modifier, no '*') and
    // otherwise only literal text and "%%". False with the reason in
    // `error` when it is anything else.
    static bool parse(const std::string& pattern, FramePattern& result, std::string& error);

    // True when the pattern numbers its files; without a conversion every
    // frame would go to the same file, so it can name one frame only.
    bool numbered() const { return !conversion.empty(); }

    // The file name of frame `index` (0 or more).
    std::string format(int index) const;

private:
    std::string prefix;     // literal text before the conversion, "%%" resolved
    std::string conversion; // the checked conversion, e.g. "%05d"
    bool isUnsigned = false;
    std::string suffix;     // literal text after it, "%%" resolved
};
