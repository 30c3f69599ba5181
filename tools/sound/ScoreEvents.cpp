#include "ScoreEvents.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>

std::vector<ScoreEvent> parseScoreEvents(const std::string& text, const std::string& path)
{
    std::vector<ScoreEvent> events;
    std::istringstream file(text);
    std::string line;
    int number = 0;
    while (std::getline(file, line)) {
        ++number;
        size_t hash = line.find('#');
        if (hash != std::string::npos)
            line.erase(hash);
        std::istringstream in(line);
        std::string word;
        if (!(in >> word))
            continue;
        auto fail = [&](const std::string& why) {
            throw ScoreEventError(path + ":" + std::to_string(number) + ": " + why);
        };
        ScoreEvent e;
        char* end = nullptr;
        e.time = std::strtod(word.c_str(), &end);
        if (*end != '\0' || !std::isfinite(e.time) || e.time < 0.0 || e.time > kLatestEvent)
            fail("\"" + word + "\" is not seconds from 0 to 86400");
        std::string kind;
        if (!(in >> e.channel >> kind) || e.channel < 0 || e.channel > 15)
            fail("expected seconds, a channel from 0 to 15 and a kind");
        // Each kind: its values and the highest each may be.
        const struct {
            const char* name;
            ScoreEvent::Kind kind;
            int values, highestA, highestB;
            const char* needs;
        } kinds[] = {
            {"program", ScoreEvent::Program, 1, 127, 0, "\"program\" needs a number from 0 to 127"},
            {"cc", ScoreEvent::Cc, 2, 127, 127, "\"cc\" needs a controller and a value from 0 to 127"},
            {"bend", ScoreEvent::Bend, 1, 16383, 0, "\"bend\" needs a value from 0 to 16383"},
            {"off", ScoreEvent::Off, 1, 127, 0, "\"off\" needs a key from 0 to 127"},
            {"on", ScoreEvent::On, 2, 127, 127, "\"on\" needs a key from 0 to 127 and a velocity from 1 to 127"},
        };
        auto known = std::find_if(std::begin(kinds), std::end(kinds), [&](const auto& k) { return kind == k.name; });
        if (known == std::end(kinds))
            fail("\"" + kind + "\" is not a kind of event");
        e.kind = known->kind;
        if (!(in >> e.a) || e.a < 0 || e.a > known->highestA)
            fail(known->needs);
        if (known->values == 2 && (!(in >> e.b) || e.b < (e.kind == ScoreEvent::On ? 1 : 0) || e.b > known->highestB))
            fail(known->needs);
        if (in >> word)
            fail("\"" + word + "\" is one value too many");
        events.push_back(e);
    }
    std::stable_sort(events.begin(), events.end(), [](const ScoreEvent& x, const ScoreEvent& y) {
        return x.time != y.time ? x.time < y.time : x.kind < y.kind;
    });
    return events;
}

std::vector<ScoreEvent> loadScoreEvents(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        throw ScoreEventError(path + ": cannot open");
    std::ostringstream text;
    text << file.rdbuf();
    return parseScoreEvents(text.str(), path);
}
