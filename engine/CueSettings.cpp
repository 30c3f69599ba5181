#include "CueSettings.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iterator>

namespace quorvane_engine {

namespace {

// Percentages are kept to a millionth of a percent, so that they read back
// as written.
constexpr double kPercentSteps = 1e6;

// A WebVTT percentage, "digits[.digits]%", from 0 to 100.
bool percentage(const std::string& text, double& value)
{
    size_t at = 0;
    auto digits = [&] {
        const size_t from = at;
        while (at < text.size() && text[at] >= '0' && text[at] <= '9')
            ++at;
        return at > from;
    };
    if (!digits())
        return false;
    if (at < text.size() && text[at] == '.') {
        ++at;
        if (!digits())
            return false;
    }
    if (at + 1 != text.size() || text[at] != '%')
        return false;
    const double read = std::strtod(text.substr(0, at).c_str(), nullptr);
    if (!(read >= 0.0 && read <= 100.0))
        return false;
    value = static_cast<double>(std::llround(read * kPercentSteps)) / kPercentSteps;
    return true;
}

std::string percentText(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.6f", value);
    std::string written = text;
    written.erase(written.find_last_not_of('0') + 1);
    if (written.back() == '.')
        written.pop_back();
    return written + "%";
}

// "P%" or "P%,ANCHOR" with ANCHOR one of `names` (start, center, end).
bool anchored(const std::string& value, const char* const names[3], double& percent, CueSettings::Anchor& anchor)
{
    const size_t comma = value.find(',');
    if (!percentage(value.substr(0, comma), percent))
        return false;
    if (comma == std::string::npos)
        return true;
    const std::string name = value.substr(comma + 1);
    const CueSettings::Anchor anchors[3]
        = {CueSettings::Anchor::start, CueSettings::Anchor::center, CueSettings::Anchor::end};
    for (int i = 0; i < 3; ++i) {
        if (name == names[i]) {
            anchor = anchors[i];
            return true;
        }
    }
    return false;
}

const char* const kLineAnchors[3] = {"start", "center", "end"};

// A WebVTT line number, "[-]digits[,start|center|end]".
bool lineNumber(const std::string& value)
{
    const size_t comma = value.find(',');
    const std::string number = value.substr(0, comma);
    const size_t from = !number.empty() && number[0] == '-' ? 1 : 0;
    if (number.size() <= from || number.find_first_not_of("0123456789", from) != std::string::npos)
        return false;
    return comma == std::string::npos
        || std::find(std::begin(kLineAnchors), std::end(kLineAnchors), value.substr(comma + 1))
        != std::end(kLineAnchors);
}
const char* const kPositionAnchors[3] = {"line-left", "center", "line-right"};

} // namespace

CueSettings CueSettings::read(const std::string& text, std::vector<std::string>* ignored)
{
    CueSettings settings;
    size_t at = 0;
    while (at < text.size()) {
        at = text.find_first_not_of(" \t", at);
        if (at == std::string::npos)
            break;
        const size_t end = std::min(text.find_first_of(" \t", at), text.size());
        const std::string word = text.substr(at, end - at);
        at = end;
        const size_t colon = word.find(':');
        const std::string name = word.substr(0, colon);
        const std::string value = colon == std::string::npos ? std::string() : word.substr(colon + 1);
        bool used = false;
        if (name == "line") {
            double percent = kAuto;
            Anchor anchor = settings.lineAlign;
            if ((used = anchored(value, kLineAnchors, percent, anchor))) {
                settings.line = percent;
                settings.lineAlign = anchor;
            } else if (lineNumber(value)) {
                settings.line = kAuto; // a line number, which the captions do not honour
            }
        } else if (name == "position") {
            double percent = kAuto;
            Anchor anchor = settings.positionAlign;
            if ((used = anchored(value, kPositionAnchors, percent, anchor))) {
                settings.position = percent;
                settings.positionAlign = anchor;
            }
        } else if (name == "align") {
            const struct {
                const char* name;
                Align align;
            } aligns[] = {{"start", Align::left}, {"left", Align::left}, {"center", Align::center},
                {"end", Align::right}, {"right", Align::right}};
            for (const auto& each : aligns) {
                if (value == each.name) {
                    settings.align = each.align;
                    used = true;
                }
            }
        }
        if (!used && ignored)
            ignored->push_back(word);
    }
    return settings;
}

std::string CueSettings::text() const
{
    std::string text;
    auto add = [&](const std::string& setting) { text += (text.empty() ? "" : " ") + setting; };
    if (line != kAuto) {
        add("line:" + percentText(line)
            + (lineAlign == Anchor::center     ? ",center"
                    : lineAlign == Anchor::end ? ",end"
                                               : ""));
    }
    if (position != kAuto) {
        const char* anchor = positionAlign == Anchor::start ? ",line-left"
            : positionAlign == Anchor::center               ? ",center"
            : positionAlign == Anchor::end                  ? ",line-right"
                                                            : "";
        add("position:" + percentText(position) + anchor);
    }
    if (align != Align::center)
        add(align == Align::left ? "align:left" : "align:right");
    return text;
}

void CueSettings::across(double& left, double& right) const
{
    left = 0.0;
    right = 100.0;
    if (position == kAuto)
        return; // the position follows the alignment: the box is the picture's width
    Anchor anchor = positionAlign;
    if (anchor == Anchor::automatic)
        anchor = align == Align::left ? Anchor::start : align == Align::right ? Anchor::end : Anchor::center;
    if (anchor == Anchor::start) {
        left = position;
    } else if (anchor == Anchor::end) {
        right = position;
    } else {
        const double half = std::min(position, 100.0 - position);
        left = position - half;
        right = position + half;
    }
}

bool CueSettings::operator==(const CueSettings& other) const
{
    // A default alignment is the same as none where no line or position is given.
    return line == other.line && (line == kAuto || lineAlign == other.lineAlign) && position == other.position
        && (position == kAuto || positionAlign == other.positionAlign) && align == other.align;
}

} // namespace quorvane_engine
