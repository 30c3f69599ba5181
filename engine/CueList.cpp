#include "CueList.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>

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

// "start --> end [settings]"; `settings` is what follows the end.
bool timing(const std::string& line, double& start, double& end, std::string& settings)
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
    settings = line.substr(at);
    return at == line.size() || line[at] == ' ' || line[at] == '\t';
}

// The UTF-8 bytes of code point `point`.
std::string utf8(unsigned long point)
{
    std::string bytes;
    if (point < 0x80) {
        bytes += static_cast<char>(point);
    } else if (point < 0x800) {
        bytes += static_cast<char>(0xC0 | (point >> 6));
        bytes += static_cast<char>(0x80 | (point & 0x3F));
    } else if (point < 0x10000) {
        bytes += static_cast<char>(0xE0 | (point >> 12));
        bytes += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
        bytes += static_cast<char>(0x80 | (point & 0x3F));
    } else {
        bytes += static_cast<char>(0xF0 | (point >> 18));
        bytes += static_cast<char>(0x80 | ((point >> 12) & 0x3F));
        bytes += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
        bytes += static_cast<char>(0x80 | (point & 0x3F));
    }
    return bytes;
}

// The character reference at `at` of `line` ("&amp;", "&#38;", "&#x26;"):
// its text, with `length` set to the bytes it takes; false when there is
// none, and the '&' stands for itself.
bool reference(const std::string& line, size_t at, std::string& text, size_t& length)
{
    static const struct {
        const char* name;
        const char* text;
    } kNamed[] = {{"&amp;", "&"}, {"&lt;", "<"}, {"&gt;", ">"}, {"&nbsp;", "\xC2\xA0"},
        {"&lrm;", "\xE2\x80\x8E"}, {"&rlm;", "\xE2\x80\x8F"}};
    for (const auto& named : kNamed) {
        length = std::char_traits<char>::length(named.name);
        if (line.compare(at, length, named.name) == 0) {
            text = named.text;
            return true;
        }
    }
    if (line.compare(at, 2, "&#") != 0)
        return false;
    size_t i = at + 2;
    const bool hex = i < line.size() && (line[i] == 'x' || line[i] == 'X');
    i += hex ? 1 : 0;
    const size_t digitsFrom = i;
    unsigned long point = 0;
    for (; i < line.size() && i - digitsFrom < 8; ++i) {
        const char c = line[i];
        const int digit = c >= '0' && c <= '9' ? c - '0'
            : hex && c >= 'a' && c <= 'f'      ? c - 'a' + 10
            : hex && c >= 'A' && c <= 'F'      ? c - 'A' + 10
                                               : -1;
        if (digit < 0)
            break;
        point = point * (hex ? 16 : 10) + static_cast<unsigned long>(digit);
    }
    if (i == digitsFrom || i >= line.size() || line[i] != ';')
        return false;
    // What cannot stand in text reads as the replacement character.
    if (point == 0 || point > 0x10FFFF || (point >= 0xD800 && point <= 0xDFFF))
        point = 0xFFFD;
    text = utf8(point);
    length = i + 1 - at;
    return true;
}

// Cue text without markup tags and with character references decoded; a
// '<' that no '>' closes is text.
std::string plainText(const std::string& line)
{
    std::string text;
    for (size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '<') {
            const size_t close = line.find('>', i);
            if (close != std::string::npos) {
                i = close;
                continue;
            }
        }
        std::string decoded;
        size_t length = 0;
        if (line[i] == '&' && reference(line, i, decoded, length)) {
            text += decoded;
            i += length - 1;
            continue;
        }
        text += line[i];
    }
    return text;
}

// Code points of UTF-8 `text`, counting each byte that starts no sequence
// as one.
size_t codePointCount(const std::string& text)
{
    size_t count = 0;
    for (const char c : text)
        count += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return count;
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

    if (text.size() > kMaxBytes)
        throw CueError(path + ": larger than " + std::to_string(kMaxBytes / 1024) + " KiB, more than captions need");

    CueList list;
    size_t i = 1;
    // The header block ends at a blank line, or at a timing line, which
    // starts the first cue.
    while (i < lines.size() && !lines[i].empty() && lines[i].find("-->") == std::string::npos)
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
        std::string settings;
        if (!timing(lines[timingLine], cue.start, cue.end, settings))
            fail(timingLine,
                "\"" + lines[timingLine] + "\" is not a cue's times, such as \"00:00:06.300 --> 00:00:09.100\"");
        if (!(cue.end > cue.start))
            fail(timingLine, "the cue ends at or before its start");
        cue.settings = CueSettings::read(settings);
        for (size_t line = timingLine + 1; line < blockEnd; ++line) {
            std::string shown = plainText(lines[line]);
            // A line of markup or spaces alone shows nothing; kept, it would
            // end the cue when the cue is written out again.
            if (shown.find_first_not_of(" \t") == std::string::npos)
                continue;
            if (cue.lines.size() == kMaxLines)
                fail(line, "the cue has more than " + std::to_string(kMaxLines) + " lines");
            cue.lines.push_back(std::move(shown));
            const size_t length = codePointCount(cue.lines.back());
            if (length > kMaxLineLength)
                fail(line, "the line has " + std::to_string(length) + " characters, more than "
                        + std::to_string(kMaxLineLength) + " fit across the picture");
        }
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
    // One byte more than parse() takes, so that it refuses a longer file
    // without reading all of it.
    std::string text(kMaxBytes + 1, '\0');
    file.read(&text[0], static_cast<std::streamsize>(text.size()));
    if (file.bad())
        throw CueError(path + ": cannot read");
    text.resize(static_cast<size_t>(file.gcount()));
    return parse(text, path);
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
            part.cues.push_back(
                {std::max(cue.start, from) - from, std::min(cue.end, to) - from, cue.lines, cue.settings});
    }
    return part;
}

std::string CueList::toWebVtt() const
{
    std::string text = "WEBVTT\n";
    for (const Cue& cue : cues) {
        const std::string settings = cue.settings.text();
        text += "\n" + formatTime(cue.start) + " --> " + formatTime(cue.end) + (settings.empty() ? "" : " ")
            + settings + "\n";
        for (const std::string& line : cue.lines)
            text += escaped(line) + "\n";
    }
    return text;
}

} // namespace quorvane_engine
