#include "CueList.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace quorvane_engine {

namespace {

// The text split into lines at CR LF, CR or LF.
std::vector<std::string> splitLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::string line;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(line);
            line.clear();
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else {
            line += c;
        }
    }
    if (!line.empty())
        lines.push_back(line);
    return lines;
}

bool startsWithWord(const std::string& line, const char* word)
{
    const size_t length = std::char_traits<char>::length(word);
    return line.compare(0, length, word) == 0 && (line.size() == length || line[length] == ' ' || line[length] == '\t');
}

// Reads `count` decimal digits of `text` from `at` on.
bool digits(const std::string& text, size_t& at, size_t count, long long& value)
{
    value = 0;
    for (size_t i = 0; i < count; ++i, ++at) {
        if (at >= text.size() || text[at] < '0' || text[at] > '9')
            return false;
        value = value * 10 + (text[at] - '0');
    }
    return true;
}

// A WebVTT timestamp, "[hh:]mm:ss.ttt" (hours two digits or more), from
// `at` on; moves `at` past it.
bool timestamp(const std::string& text, size_t& at, double& seconds)
{
    long long first = 0;
    size_t from = at;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9')
        ++at;
    const size_t firstDigits = at - from;
    if (firstDigits < 2 || firstDigits > 10)
        return false;
    first = std::stoll(text.substr(from, firstDigits));
    long long hours = 0, minutes = 0, secs = 0, millis = 0;
    if (at >= text.size() || text[at] != ':')
        return false;
    ++at;
    if (!digits(text, at, 2, minutes))
        return false;
    if (at < text.size() && text[at] == ':') {
        ++at;
        hours = first;
        if (!digits(text, at, 2, secs))
            return false;
    } else {
        if (firstDigits != 2)
            return false; // minutes without hours are two digits
        secs = minutes;
        minutes = first;
    }
    if (at >= text.size() || text[at] != '.')
        return false;
    ++at;
    if (!digits(text, at, 3, millis) || minutes > 59 || secs > 59)
        return false;
    seconds = static_cast<double>(((hours * 60 + minutes) * 60 + secs) * 1000 + millis) / 1000.0;
    return true;
}

// "start --> end [settings]".
bool timing(const std::string& line, double& start, double& end)
{
    size_t at = 0;
    if (!timestamp(line, at, start))
        return false;
    while (at < line.size() && (line[at] == ' ' || line[at] == '\t'))
        ++at;
    if (line.compare(at, 3, "-->") != 0)
        return false;
    at += 3;
    while (at < line.size() && (line[at] == ' ' || line[at] == '\t'))
        ++at;
    if (!timestamp(line, at, end))
        return false;
    return at == line.size() || line[at] == ' ' || line[at] == '\t';
}

// Cue text without markup tags and with the usual character references decoded.
std::string plainText(const std::string& line)
{
    static const struct {
        const char* name;
        const char* text;
    } kReferences[] = {{"&amp;", "&"}, {"&lt;", "<"}, {"&gt;", ">"}, {"&nbsp;", "\xC2\xA0"}, {"&lrm;", ""},
        {"&rlm;", ""}};
    std::string text;
    for (size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '<') {
            const size_t close = line.find('>', i);
            if (close == std::string::npos)
                break;
            i = close;
            continue;
        }
        bool decoded = false;
        if (line[i] == '&') {
            for (const auto& reference : kReferences) {
                const size_t length = std::char_traits<char>::length(reference.name);
                if (line.compare(i, length, reference.name) == 0) {
                    text += reference.text;
                    i += length - 1;
                    decoded = true;
                    break;
                }
            }
        }
        if (!decoded)
            text += line[i];
    }
    return text;
}

std::string escaped(const std::string& line)
{
    std::string text;
    for (char c : line) {
        if (c == '&')
            text += "&amp;";
        else if (c == '<')
            text += "&lt;";
        else if (c == '>')
            text += "&gt;";
        else
            text += c;
    }
    return text;
}

std::string formatTime(double seconds)
{
    const long long millis = std::max(0LL, std::llround(seconds * 1000.0));
    char text[32];
    std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld.%03lld", millis / 3600000, millis / 60000 % 60,
        millis / 1000 % 60, millis % 1000);
    return text;
}

} // namespace

CueList CueList::parse(const std::string& text, const std::string& path)
{
    std::vector<std::string> lines = splitLines(text);
    auto fail = [&](size_t index, const std::string& why) {
        throw CueError(path + ":" + std::to_string(index + 1) + ": " + why);
    };
    if (!lines.empty() && lines[0].compare(0, 3, "\xEF\xBB\xBF") == 0)
        lines[0].erase(0, 3);
    if (lines.empty() || !startsWithWord(lines[0], "WEBVTT"))
        fail(0, "not a WebVTT file (it does not start with \"WEBVTT\")");

    CueList list;
    size_t i = 1;
    while (i < lines.size() && !lines[i].empty()) // the header block
        ++i;
    while (i < lines.size()) {
        if (lines[i].empty()) {
            ++i;
            continue;
        }
        const size_t blockStart = i;
        size_t blockEnd = i;
        while (blockEnd < lines.size() && !lines[blockEnd].empty())
            ++blockEnd;
        i = blockEnd;
        const std::string& first = lines[blockStart];
        if (startsWithWord(first, "NOTE") || startsWithWord(first, "STYLE") || startsWithWord(first, "REGION"))
            continue;
        size_t timingLine = blockStart;
        if (first.find("-->") == std::string::npos)
            ++timingLine; // a cue identifier
        if (timingLine >= blockEnd || lines[timingLine].find("-->") == std::string::npos)
            fail(blockStart, "expected a cue's times, such as \"00:00:06.300 --> 00:00:09.100\"");
        Cue cue;
        if (!timing(lines[timingLine], cue.start, cue.end))
            fail(timingLine,
                "\"" + lines[timingLine] + "\" is not a cue's times, such as \"00:00:06.300 --> 00:00:09.100\"");
        if (!(cue.end > cue.start))
            fail(timingLine, "the cue ends at or before its start");
        for (size_t line = timingLine + 1; line < blockEnd; ++line)
            cue.lines.push_back(plainText(lines[line]));
        if (cue.lines.empty())
            fail(timingLine, "the cue has no text");
        list.cues.push_back(std::move(cue));
    }
    std::stable_sort(list.cues.begin(), list.cues.end(), [](const Cue& a, const Cue& b) { return a.start < b.start; });
    return list;
}

CueList CueList::load(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        throw CueError(path + ": cannot open");
    std::ostringstream text;
    text << file.rdbuf();
    return parse(text.str(), path);
}

const Cue* CueList::at(double time) const
{
    auto after = std::upper_bound(
        cues.begin(), cues.end(), time, [](double t, const Cue& cue) { return t < cue.start; });
    while (after != cues.begin()) {
        --after;
        if (time < after->end)
            return &*after;
    }
    return nullptr;
}

CueList CueList::range(double from, double to) const
{
    CueList part;
    for (const Cue& cue : cues) {
        if (cue.start < to && cue.end > from)
            part.cues.push_back({std::max(cue.start, from) - from, std::min(cue.end, to) - from, cue.lines});
    }
    return part;
}

std::string CueList::toWebVtt() const
{
    std::string text = "WEBVTT\n";
    for (const Cue& cue : cues) {
        text += "\n" + formatTime(cue.start) + " --> " + formatTime(cue.end) + "\n";
        for (const std::string& line : cue.lines)
            text += escaped(line) + "\n";
    }
    return text;
}

} // namespace quorvane_engine
