// The timed MIDI events compose-score writes and render-score plays: one
// event a line, "seconds channel kind values", where kind is "on KEY
// VELOCITY", "off KEY", "program NUMBER", "cc NUMBER VALUE" or "bend VALUE";
// # starts a comment. Reading and checking them live here; what they mean
// musically is compose-score's, how they sound render-score's.
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <vector>

// A fault in an event list; the message starts with "path:line: ".
struct ScoreEventError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct ScoreEvent {
    enum Kind { Program, Cc, Bend, Off, On }; // the order events at one instant apply in
    double time = 0.0; // seconds, 0 to kLatestEvent
    int channel = 0;   // 0 to 15
    Kind kind = Program;
    int a = 0, b = 0;  // key and velocity, controller and value, program, bend; each in MIDI's range
};

// The latest time an event may have, in seconds: a day.
constexpr double kLatestEvent = 86400.0;

// The events of `text` in time order (at one instant, in the order of Kind,
// then as written); `path` names it in messages. Throws ScoreEventError on
// the first line that does not read or whose values are outside MIDI's
// ranges.
std::vector<ScoreEvent> parseScoreEvents(const std::string& text, const std::string& path);

// Reads the file at `path` and parses it; throws ScoreEventError when it
// does not open.
std::vector<ScoreEvent> loadScoreEvents(const std::string& path);
