#include "EffectCues.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

// A decimal number from `low` to `high` with at most `decimals` decimals.
bool parseNumber(const std::string& word, double low, double high, int decimals, double& value)
{
    char* end = nullptr;
    value = std::strtod(word.c_str(), &end);
    size_t point = word.find('.');
    bool plain = !word.empty() && word.find_first_not_of("-+0123456789.") == std::string::npos;
    return plain && end == word.c_str() + word.size() && std::isfinite(value) && value >= low && value <= high &&
           (point == std::string::npos || int(word.size() - point - 1) <= decimals);
}

} // namespace

EffectCues parseEffectCues(const std::string& text, const std::string& path, const std::vector<std::string>& sounds)
{
    EffectCues sheet;
    std::istringstream in(text);
    std::string line;
    int number = 0;
    auto fail = [&](const std::string& why) {
        throw EffectCueError(path + ":" + std::to_string(number) + ": " + why);
    };
    while (std::getline(in, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        std::istringstream words(line);
        std::string head;
        if (!(words >> head) || head[0] == '#')
            continue;
        if (head == "say") {
            std::string sentence;
            std::getline(words >> std::ws, sentence);
            if (sentence.empty())
                fail("\"say\" needs a sentence");
            sheet.sayings.push_back(sentence);
            continue;
        }
        std::vector<std::string> fields{head};
        for (std::string w; words >> w;)
            fields.push_back(w);
        if (fields.size() != 5)
            fail("a cue reads \"START SOUND SECONDS LEVEL PAN\"");
        EffectCue cue;
        cue.sound = fields[1];
        cue.sourceLine = number;
        if (!parseNumber(fields[0], 0.0, 86400.0, 3, cue.start))
            fail("start \"" + fields[0] + "\" is not seconds with at most three decimals");
        if (!sounds.empty() && std::find(sounds.begin(), sounds.end(), cue.sound) == sounds.end())
            fail("no sound is called \"" + cue.sound + "\"");
        if (!parseNumber(fields[2], kShortestCue, kLongestCue, 3, cue.seconds)) {
            std::ostringstream why;
            why << "length \"" << fields[2] << "\" is not seconds from " << kShortestCue << " to " << kLongestCue;
            fail(why.str());
        }
        if (!parseNumber(fields[3], -60.0, 0.0, 2, cue.level))
            fail("level \"" + fields[3] + "\" is not dBFS from -60 to 0");
        if (!parseNumber(fields[4], -1.0, 1.0, 2, cue.pan))
            fail("pan \"" + fields[4] + "\" is not from -1 to 1");
        if (!sheet.cues.empty() && cue.start < sheet.cues.back().start)
            fail("cues must be in time order");
        sheet.cues.push_back(cue);
    }
    return sheet;
}

EffectCues loadEffectCues(const std::string& path, const std::vector<std::string>& sounds)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        throw EffectCueError(path + ": cannot open");
    std::ostringstream text;
    text << file.rdbuf();
    return parseEffectCues(text.str(), path, sounds);
}
