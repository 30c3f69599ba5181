#include "CaptionTiming.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <iterator>

namespace {

// Characters of UTF-8 `text` (continuation bytes not counted).
int characters(const std::string& text)
{
    int count = 0;
    for (unsigned char c : text)
        count += (c & 0xC0) != 0x80;
    return count;
}

long long milliseconds(double seconds)
{
    return std::llround(seconds * 1000.0);
}

std::string seconds(long long ms)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.3f s", static_cast<double>(ms) / 1000.0);
    return text;
}

// One caption before it is timed.
struct Entry {
    long long start;
    long long end;      // a stage direction's end; for a spoken line where its voice ends
    bool spoken;
    std::string text;   // as shown
    int sourceLine;
};

// Words that lean on the word after them: articles and determiners,
// prepositions, possessives, subject pronouns, auxiliaries and
// conjunctions. Lower case.
const char* const kLeaningWords[] = {
    "a", "an", "the", "this", "these", "those", "every", "some", "no", "any", "each", "very", "not",
    "of", "in", "on", "at", "to", "for", "with", "from", "by", "about", "into", "onto", "over", "under",
    "after", "before", "through", "across", "near", "without", "like", "than", "as",
    "my", "your", "his", "her", "its", "our", "their",
    "i", "we", "they", "he", "she",
    "am", "is", "are", "was", "were", "be", "will", "would", "can", "could", "shall", "should",
    "do", "does", "did", "has", "have", "had",
    "and", "but", "or", "that", "if", "because",
};

// Pronouns that stand only as objects; "her", "you" and "it" may be
// subjects or possessives too, and are left alone.
const char* const kObjectPronouns[] = {"me", "him", "us", "them"};
// Words that start the thing given after an object pronoun ("offered me / a
// fortune"). Lower case.
const char* const kDeterminers[] = {"a", "an", "the", "this", "these", "those", "some", "any", "every", "each", "no",
    "my", "your", "his", "her", "its", "our", "their"};

// `word` in lower case without quotes and brackets.
std::string bareWord(const std::string& word)
{
    std::string bare;
    for (char c : word)
        if (c != '"' && c != '[' && c != '(')
            bare += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return bare;
}

template <size_t N>
bool isOneOf(const std::string& bare, const char* const (&words)[N])
{
    return std::any_of(std::begin(words), std::end(words), [&](const char* word) { return bare == word; });
}

bool endsSentence(char c)
{
    return c == '.' || c == '!' || c == '?';
}

} // namespace

bool CaptionTiming::endsPhrase(const std::string& word)
{
    if (word.empty())
        return false;
    const char last = word.back();
    if (endsSentence(last) || last == ',' || last == ';' || last == ':' || last == ']')
        return true;
    const std::string bare = bareWord(word);
    if (bare.size() > 2 && bare.compare(bare.size() - 2, 2, "'s") == 0)
        return false; // "Milo's computer", "it's finished"
    return !isOneOf(bare, kLeaningWords);
}

bool CaptionTiming::partsObject(const std::string& last, const std::string& next)
{
    if (last.empty() || !std::isalnum(static_cast<unsigned char>(last.back())))
        return false; // punctuation ends the phrase
    std::string first = bareWord(next);
    while (!first.empty() && !std::isalnum(static_cast<unsigned char>(first.back())))
        first.pop_back();
    return isOneOf(first, kObjectPronouns) || (isOneOf(bareWord(last), kObjectPronouns) && isOneOf(first, kDeterminers));
}

std::vector<std::string> CaptionTiming::breakLines(const std::string& text)
{
    const int length = characters(text);
    if (length <= kMaxLineLength)
        return {text};
    // Where both lines fit: at the end of a sentence if one allows it, else
    // after a comma, else between two phrases; of those the most even break,
    // and of two as even, the one with the shorter top line. A break by
    // punctuation leaves two words or more on each line. No line ends with a
    // word that leans on the next, nor with the first word of a sentence the
    // next line goes on with ("Come in. Mind / the carpet").
    size_t best = std::string::npos;
    int bestRank = 0;
    int bestLongest = 0;
    for (size_t at = text.find(' '); at != std::string::npos; at = text.find(' ', at + 1)) {
        const int first = characters(text.substr(0, at));
        const int second = length - first - 1;
        const int longest = std::max(first, second);
        if (longest > kMaxLineLength || at == 0)
            continue;
        const size_t wordStart = text.rfind(' ', at - 1);
        const std::string lastWord = wordStart == std::string::npos ? text.substr(0, at)
                                                                     : text.substr(wordStart + 1, at - wordStart - 1);
        const size_t nextEnd = text.find(' ', at + 1);
        const std::string nextWord = text.substr(at + 1, nextEnd == std::string::npos ? nextEnd : nextEnd - at - 1);
        if (!endsPhrase(lastWord) || partsObject(lastWord, nextWord))
            continue;
        const bool bare = std::isalnum(static_cast<unsigned char>(lastWord.back())) != 0;
        if (bare && wordStart != std::string::npos && wordStart > 0 &&
            (endsSentence(text[wordStart - 1]) || text[wordStart - 1] == ':'))
            continue;
        // A word left alone on a line reads as an afterthought: no rank.
        const char before = text[at - 1];
        const bool words = text.rfind(' ', at - 1) != std::string::npos && text.find(' ', at + 1) != std::string::npos;
        const int rank = !words ? 0
                       : before == '.' || before == '!' || before == '?' ? 2
                       : before == ',' || before == ';' ? 1 : 0;
        if (best == std::string::npos || rank > bestRank ||
            (rank == bestRank && (longest < bestLongest || (longest == bestLongest && first < second)))) {
            best = at;
            bestRank = rank;
            bestLongest = longest;
        }
    }
    if (best == std::string::npos)
        return {};
    return {text.substr(0, best), text.substr(best + 1)};
}

quorvane_engine::CueList CaptionTiming::make(
    const Screenplay& play, const std::vector<double>& voiceEnds, const std::vector<double>& cuts)
{
    std::vector<Entry> entries;
    for (size_t i = 0; i < play.lines.size(); ++i) {
        const DialogLine& line = play.lines[i];
        const CastMember* speaker = play.member(line.speaker);
        if (!speaker || speaker->displayName.empty())
            throw ScreenplayError(play.where(speaker ? speaker->sourceLine : line.sourceLine) + "\"" + line.speaker +
                                  "\" has no name for the captions (add \"name " + line.speaker + " NAME\")");
        entries.push_back({milliseconds(line.start), milliseconds(voiceEnds.at(i)), true,
                           speaker->displayName + ": " + line.text, line.sourceLine});
    }
    for (const StageDirection& direction : play.directions)
        entries.push_back({milliseconds(direction.start), milliseconds(direction.end), false,
                           "[" + direction.text + "]", direction.sourceLine});
    std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.start < b.start; });

    // The screenplay's placements, each read as the players read it.
    std::vector<quorvane_engine::CueSettings> placements;
    for (const CaptionPlacement& placement : play.placements) {
        std::vector<std::string> ignored;
        placements.push_back(quorvane_engine::CueSettings::read(placement.settings, &ignored));
        if (!ignored.empty())
            throw ScreenplayError(play.where(placement.sourceLine) + "\"" + ignored.front() +
                                  "\" is not a cue setting that the captions honour (line:P%[,start|center|end], "
                                  "position:P%[,line-left|center|line-right], align:start|center|end|left|right)");
    }
    // Those of the scene window the caption starting at `start` (ms) shows in.
    auto placed = [&](long long start) {
        for (size_t p = 0; p < play.placements.size(); ++p)
            for (const SceneWindow& window : play.scenes)
                if (window.start * 1000.0 <= start && start < window.end * 1000.0 &&
                    std::find(play.placements[p].scenes.begin(), play.placements[p].scenes.end(), window.name) !=
                        play.placements[p].scenes.end())
                    return placements[p];
        return quorvane_engine::CueSettings();
    };

    quorvane_engine::CueList list;
    for (size_t i = 0; i < entries.size(); ++i) {
        const Entry& entry = entries[i];
        const std::string where = play.where(entry.sourceLine);
        auto scene = std::find_if(cuts.begin(), cuts.end(), [&](double cut) { return cut * 1000.0 >= entry.start; });
        if (scene == cuts.begin() || scene == cuts.end() || *scene * 1000.0 == entry.start)
            throw ScreenplayError(where + "the caption starts at " + seconds(entry.start) +
                                  ", on a scene cut or outside the show");
        // The cue may run up to the next one's start or the scene cut.
        const long long cut = static_cast<long long>(std::floor(*scene * 1000.0 + 1e-6));
        const bool nextFirst = i + 1 < entries.size() && entries[i + 1].start < cut;
        const long long limit = nextFirst ? entries[i + 1].start : cut;
        const std::string before = (nextFirst ? " before the next caption at " : " before the scene cut at ") +
                                   seconds(limit);

        const std::vector<std::string> lines = breakLines(entry.text);
        if (lines.empty())
            throw ScreenplayError(where + "\"" + entry.text + "\" does not fit two lines of " +
                                  std::to_string(kMaxLineLength) + " characters broken between phrases");
        const int shown = characters(entry.text);
        const long long reading = static_cast<long long>(std::ceil(shown * 1000.0 / kMaxCharactersPerSecond));
        long long end = entry.end;
        if (entry.spoken)
            end = std::min(std::max({entry.end + kLingerMs, entry.start + kShortestMs, entry.start + reading}), limit);
        else if (end > limit)
            throw ScreenplayError(where + "the stage direction runs to " + seconds(end) + before);
        if (entry.spoken && end < entry.end)
            throw ScreenplayError(where + "the voice runs to " + seconds(entry.end) + before);
        if (end - entry.start < kShortestMs)
            throw ScreenplayError(where + "the caption can show only " + seconds(end - entry.start) + before +
                                  " (it needs " + seconds(kShortestMs) + ")");
        if (end - entry.start < reading) {
            char speed[64];
            std::snprintf(speed, sizeof speed, "%.1f characters a second (at most %.0f)",
                shown * 1000.0 / static_cast<double>(end - entry.start), kMaxCharactersPerSecond);
            throw ScreenplayError(where + "the caption reads at " + speed + before);
        }
        list.cues.push_back(
            {static_cast<double>(entry.start) / 1000.0, static_cast<double>(end) / 1000.0, lines, placed(entry.start)});
    }
    return list;
}
