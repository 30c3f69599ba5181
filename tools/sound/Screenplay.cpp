#include "Screenplay.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

namespace {

std::vector<std::string> splitWords(const std::string& text)
{
    std::istringstream in(text);
    std::vector<std::string> words;
    std::string word;
    while (in >> word)
        words.push_back(word);
    return words;
}

std::vector<std::string> splitCommas(const std::string& text)
{
    std::vector<std::string> parts;
    size_t from = 0;
    while (true) {
        size_t comma = text.find(',', from);
        parts.push_back(text.substr(from, comma == std::string::npos ? std::string::npos : comma - from));
        if (comma == std::string::npos)
            return parts;
        from = comma + 1;
    }
}

// A show time: digits with an optional point and at most three decimals.
bool parseTime(const std::string& word, double& value)
{
    if (word.empty() || word.find_first_not_of("0123456789.") != std::string::npos)
        return false;
    size_t point = word.find('.');
    if (point != std::string::npos && (word.find('.', point + 1) != std::string::npos || point == 0))
        return false;
    value = std::strtod(word.c_str(), nullptr);
    return true;
}

bool parseInt(const std::string& word, int low, int high, int& value)
{
    if (word.empty() || word.find_first_not_of("0123456789") != std::string::npos || word.size() > 4)
        return false;
    value = std::atoi(word.c_str());
    return value >= low && value <= high;
}

// Dialog lines give their time to the millisecond, so the interval start
// written to a script is exactly the screenplay's.
bool atMostMilliseconds(const std::string& word)
{
    size_t point = word.find('.');
    return point == std::string::npos || word.size() - point - 1 <= 3;
}

// The white space that separates words (as splitWords reads them).
const char* const kSpace = " \t\r\n\v\f";

std::string trim(const std::string& text)
{
    size_t first = text.find_first_not_of(kSpace);
    if (first == std::string::npos)
        return "";
    size_t last = text.find_last_not_of(kSpace);
    return text.substr(first, last - first + 1);
}

// What follows the first `count` words of `line`, trimmed.
std::string afterWords(const std::string& line, int count)
{
    size_t at = 0;
    for (int i = 0; i < count; ++i) {
        at = line.find_first_not_of(" \t", at);
        at = at == std::string::npos ? line.size() : line.find_first_of(" \t", at);
        if (at == std::string::npos)
            return "";
    }
    return trim(line.substr(at));
}

} // namespace

bool SceneWindow::allows(const std::string& speaker) const
{
    return std::find(speakers.begin(), speakers.end(), speaker) != speakers.end();
}

const CastMember* Screenplay::member(const std::string& name) const
{
    for (const CastMember& m : cast)
        if (m.name == name)
            return &m;
    return nullptr;
}

std::string Screenplay::where(int sourceLine) const
{
    return path + ":" + std::to_string(sourceLine) + ": ";
}

const SceneWindow* windowFor(const Screenplay& play, const std::string& speaker, double start, double end)
{
    for (const SceneWindow& w : play.scenes)
        if (w.allows(speaker) && w.start < start && end < w.end)
            return &w;
    return nullptr;
}

Screenplay parseScreenplay(const std::string& text, const std::string& path)
{
    Screenplay play;
    play.path = path;
    std::istringstream in(text);
    std::string raw;
    int number = 0;
    auto fail = [&](const std::string& why) { throw ScreenplayError(play.where(number) + why); };
    auto tooLong = [](const std::string& text) {
        return "the text holds " + std::to_string(text.size()) + " bytes, where a line holds at most "
            + std::to_string(kMostLineBytes);
    };
    double lastStart = -1.0; // of the last dialog line or stage direction

    while (std::getline(in, raw)) {
        ++number;
        std::string line = trim(raw);
        if (line.empty() || line[0] == '#')
            continue;
        std::vector<std::string> words = splitWords(line);
        const std::string& head = words[0];

        if (head == "cast") {
            // cast NAME SCRIPT[,SCRIPT...] VOICE PITCH SPEED
            if (words.size() != 6)
                fail("\"cast\" needs a name, scripts, a voice, pitch and speed");
            CastMember m;
            m.name = words[1];
            m.scripts = splitCommas(words[2]);
            m.voice = words[3];
            m.sourceLine = number;
            if (!parseInt(words[4], 50, 200, m.pitch))
                fail("pitch \"" + words[4] + "\" is not a whole percentage from 50 to 200");
            if (!parseInt(words[5], 50, 200, m.speed))
                fail("speed \"" + words[5] + "\" is not a whole percentage from 50 to 200");
            for (const std::string& s : m.scripts)
                if (s.empty() || s.find('/') != std::string::npos)
                    fail("script \"" + s + "\" must be a plain file name");
            if (play.member(m.name))
                fail("\"" + m.name + "\" is already in the cast");
            for (const CastMember& other : play.cast)
                for (const std::string& s : m.scripts)
                    if (std::find(other.scripts.begin(), other.scripts.end(), s) != other.scripts.end())
                        fail("script \"" + s + "\" already belongs to " + other.name);
            play.cast.push_back(m);
        } else if (head == "scene") {
            // scene NAME START END [SPEAKER...]
            if (words.size() < 4)
                fail("\"scene\" needs a name, a start and an end");
            SceneWindow w;
            w.name = words[1];
            w.sourceLine = number;
            if (!parseTime(words[2], w.start) || !parseTime(words[3], w.end))
                fail("scene times must be seconds, like 5.417");
            if (!(w.start < w.end))
                fail("scene \"" + w.name + "\" ends before it starts");
            for (size_t i = 4; i < words.size(); ++i) {
                if (!play.member(words[i]))
                    fail("\"" + words[i] + "\" is not in the cast");
                w.speakers.push_back(words[i]);
            }
            play.scenes.push_back(w);
        } else if (head == "name") {
            // name SPEAKER DISPLAY NAME
            if (words.size() < 3)
                fail("\"name\" needs a figure of the cast and the name captions give it");
            auto m = std::find_if(play.cast.begin(), play.cast.end(),
                                  [&](const CastMember& c) { return c.name == words[1]; });
            if (m == play.cast.end())
                fail("\"" + words[1] + "\" is not in the cast");
            if (m->nameLine)
                fail("\"" + words[1] + "\" is already named on line " + std::to_string(m->nameLine));
            m->displayName = afterWords(line, 2);
            m->nameLine = number;
        } else if (head == "captions") {
            // captions SCENE... SETTING...
            CaptionPlacement placement;
            placement.sourceLine = number;
            size_t i = 1;
            for (; i < words.size() && words[i].find(':') == std::string::npos; ++i) {
                if (std::none_of(play.scenes.begin(), play.scenes.end(),
                                 [&](const SceneWindow& w) { return w.name == words[i]; }))
                    fail("\"" + words[i] + "\" is no scene above");
                for (const CaptionPlacement& other : play.placements)
                    if (std::find(other.scenes.begin(), other.scenes.end(), words[i]) != other.scenes.end())
                        fail("the captions of \"" + words[i] + "\" are placed on line " +
                             std::to_string(other.sourceLine) + " already");
                placement.scenes.push_back(words[i]);
            }
            if (placement.scenes.empty() || i == words.size())
                fail("\"captions\" needs scenes and the cue settings that place their captions, such as "
                     "\"captions Funeral position:28%\"");
            for (; i < words.size(); ++i) {
                if (words[i].find(':') == std::string::npos)
                    fail("\"" + words[i] + "\" is no cue setting (NAME:VALUE); the scenes come first");
                placement.settings += (placement.settings.empty() ? "" : " ") + words[i];
            }
            play.placements.push_back(placement);
        } else if (double start = 0.0, end = 0.0;
                   words.size() >= 2 && parseTime(head, start) && parseTime(words[1], end)) {
            // START END [TEXT]
            StageDirection s{start, end, "", number};
            if (!atMostMilliseconds(head) || !atMostMilliseconds(words[1]))
                fail("a stage direction's times have at most three decimals");
            if (!(s.start < s.end))
                fail("the stage direction ends before it starts");
            const std::string text = afterWords(line, 2);
            if (text.size() < 2 || text.front() != '[' || text.back() != ']')
                fail("a stage direction reads \"START END [TEXT]\"");
            s.text = trim(text.substr(1, text.size() - 2));
            if (s.text.empty())
                fail("the stage direction has no words");
            if (s.text.size() > kMostLineBytes)
                fail(tooLong(s.text));
            if (s.start <= lastStart)
                fail("lines must be in time order; this one starts at or before the line above");
            lastStart = s.start;
            play.directions.push_back(s);
        } else {
            // START SPEAKER: TEXT
            DialogLine d;
            d.sourceLine = number;
            if (!parseTime(head, d.start))
                fail("expected \"cast\", \"scene\" or a dialog line starting with its time in seconds"
                     " (or \"name\", \"captions\", or a stage direction)");
            if (!atMostMilliseconds(head))
                fail("time \"" + head + "\" has more than three decimals");
            size_t colon = line.find(':');
            size_t afterTime = line.find_first_of(" \t");
            if (colon == std::string::npos || afterTime == std::string::npos || colon < afterTime)
                fail("a dialog line reads \"START SPEAKER: TEXT\"");
            d.speaker = trim(line.substr(afterTime, colon - afterTime));
            d.text = trim(line.substr(colon + 1));
            const CastMember* m = play.member(d.speaker);
            if (!m)
                fail("\"" + d.speaker + "\" is not in the cast");
            if (d.text.empty())
                fail("the line has no words");
            if (d.text.size() > kMostLineBytes)
                fail(tooLong(d.text));
            if (d.start <= lastStart)
                fail("lines must be in time order; this one starts at or before the line above");
            lastStart = d.start;
            if (!windowFor(play, d.speaker, d.start, d.start))
                fail(d.speaker + " is not drawn speaking at " + head + " s");
            play.lines.push_back(d);
        }
    }

    // Deal each figure's lines to its scripts in turn.
    std::map<std::string, size_t> dealt;
    for (DialogLine& d : play.lines) {
        const CastMember* m = play.member(d.speaker);
        d.script = m->scripts[dealt[d.speaker]++ % m->scripts.size()];
    }
    return play;
}

Screenplay loadScreenplay(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        throw ScreenplayError(path + ": cannot open");
    std::stringstream text;
    text << file.rdbuf();
    return parseScreenplay(text.str(), path);
}
