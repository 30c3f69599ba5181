#include "FramePattern.h"

#include <cstdio>
#include <cstring>

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Reads up to FramePattern::kMaxFieldDigits digits at `at`; false when more follow.
bool skipField(const std::string& text, std::size_t& at)
{
    std::size_t digits = 0;
    while (at < text.size() && isDigit(text[at])) {
        ++at;
        ++digits;
    }
    return digits <= static_cast<std::size_t>(FramePattern::kMaxFieldDigits);
}

} // namespace

bool FramePattern::parse(const std::string& pattern, FramePattern& result, std::string& error)
{
    FramePattern parsed;
    std::string* literal = &parsed.prefix;
    int conversions = 0;

    for (std::size_t at = 0; at < pattern.size();) {
        if (pattern[at] != '%') {
            *literal += pattern[at++];
            continue;
        }
        const std::size_t start = at++;
        if (at < pattern.size() && pattern[at] == '%') {
            *literal += '%';
            ++at;
            continue;
        }
        bool alternate = false;
        while (at < pattern.size() && std::strchr("-+ 0#", pattern[at])) {
            alternate = alternate || pattern[at] == '#';
            ++at;
        }
        if (!skipField(pattern, at)) {
            error = "field width in \"" + pattern + "\" is longer than " + std::to_string(kMaxFieldDigits) + " digits";
            return false;
        }
        if (at < pattern.size() && pattern[at] == '.') {
            ++at;
            if (!skipField(pattern, at)) {
                error = "precision in \"" + pattern + "\" is longer than " + std::to_string(kMaxFieldDigits) +
                        " digits";
                return false;
            }
        }
        if (at >= pattern.size()) {
            error = "\"" + pattern + "\" ends inside a conversion";
            return false;
        }
        const char kind = pattern[at++];
        const bool isSigned = kind == 'd' || kind == 'i';
        const bool isUnsignedKind = kind == 'u' || kind == 'o' || kind == 'x' || kind == 'X';
        if (!isSigned && !isUnsignedKind) {
            error = "\"" + pattern.substr(start, at - start) + "\" in \"" + pattern +
                    "\" is not a plain integer conversion (use %d, %05d, ...; write %% for a percent sign)";
            return false;
        }
        if (alternate && (isSigned || kind == 'u')) {
            error = "the '#' flag does not apply to \"%" + std::string(1, kind) + "\"";
            return false;
        }
        if (++conversions > 1) {
            error = "\"" + pattern + "\" has more than one conversion; it needs exactly one for the frame index";
            return false;
        }
        parsed.conversion = pattern.substr(start, at - start);
        parsed.isUnsigned = isUnsignedKind;
        literal = &parsed.suffix;
    }
    if (pattern.empty()) {
        error = "needs a file name";
        return false;
    }
    result = parsed;
    return true;
}

std::string FramePattern::format(int index) const
{
    if (!numbered())
        return prefix;
    // Width and precision are at most 99, so the number fits easily.
    char number[256];
    if (isUnsigned)
        std::snprintf(number, sizeof number, conversion.c_str(), static_cast<unsigned>(index));
    else
        std::snprintf(number, sizeof number, conversion.c_str(), index);
    return prefix + number + suffix;
}
