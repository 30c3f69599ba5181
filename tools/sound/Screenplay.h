// The screenplay: who is in the cast (voice and dialog scripts of each
// figure, the name captions give it), the scene windows in which each figure
// may speak, every line of dialog with its speaker and start time in show
// time, and the stage directions that captions show. Parsing and the rules a
// screenplay must keep live here; speaking it is speak-screenplay's, its
// captions make-captions'.
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <vector>

// The longest text a dialog line or a stage direction may hold, in bytes:
// about a minute of speech, where the show's longest line holds 93.
constexpr size_t kMostLineBytes = 1000;

// A parse or rule failure; the message starts with "file:line: ".
struct ScreenplayError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct CastMember {
    std::string name;
    std::vector<std::string> scripts; // dialog script file names; lines are dealt to them in turn
    std::string voice;                // Flite voice name: slt, rms, awb or kal16
    int pitch = 100;                  // percent of the voice's own pitch, 50 to 200
    int speed = 100;                  // percent of the voice's own speaking rate, 50 to 200
    int sourceLine = 0;
    std::string displayName;          // the name captions give the figure; empty until a "name" line
    int nameLine = 0;
};

// A stretch of show time in which the listed figures are drawn speaking.
struct SceneWindow {
    std::string name;
    double start = 0.0;
    double end = 0.0;
    std::vector<std::string> speakers;
    int sourceLine = 0;

    bool allows(const std::string& speaker) const;
};

struct DialogLine {
    double start = 0.0;   // show time at which the voice becomes audible
    std::string speaker;
    std::string text;
    std::string script;   // dialog script file name this line's interval goes to
    int sourceLine = 0;
};

// A stage direction for the captions: a time or a place the pictures do not
// tell, shown from `start` to `end`; never spoken.
struct StageDirection {
    double start = 0.0;
    double end = 0.0;
    std::string text; // without the brackets
    int sourceLine = 0;
};

// Where the captions stand in some scenes: the WebVTT cue settings that
// every caption starting in a window of those scenes takes.
struct CaptionPlacement {
    std::vector<std::string> scenes; // names of scene windows
    std::string settings;            // "position:28%", as the cue file writes them
    int sourceLine = 0;
};

struct Screenplay {
    std::string path;
    std::vector<CastMember> cast;
    std::vector<SceneWindow> scenes;
    std::vector<DialogLine> lines;            // in time order
    std::vector<StageDirection> directions;   // in time order, among the lines
    std::vector<CaptionPlacement> placements; // at most one a scene

    // The cast member named `name`, or nullptr.
    const CastMember* member(const std::string& name) const;

    // "path:line: " for messages about a source line.
    std::string where(int sourceLine) const;
};

// Reads and checks a screenplay: syntax, known speakers, lines and stage
// directions in time order, each line's start inside a scene window that lets
// its speaker speak.
// Throws ScreenplayError ("file:line: reason") on the first fault.
Screenplay parseScreenplay(const std::string& text, const std::string& path);

// Reads the file at `path` and parses it; throws ScreenplayError when it does
// not open.
Screenplay loadScreenplay(const std::string& path);

// The window that allows `speaker` to speak over the whole of [start, end]
// (strictly inside both ends), or nullptr.
const SceneWindow* windowFor(const Screenplay& play, const std::string& speaker, double start, double end);
