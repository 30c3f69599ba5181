// The cue sheet of the sound effects (content/sound/effects.txt): which
// sound starts when, how long, how loud and where, and the sentences the
// party murmurs. Reading and checking it live here; making the sounds is
// make-effects' work.
//
//   START SOUND SECONDS LEVEL PAN   a cue: show time and length in seconds
//                                   (at most three decimals), the loudest
//                                   100 ms in dBFS (-60 to 0), pan -1 to 1
//   say TEXT                        a sentence for the murmur
//   # ...                           a comment
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

// A fault in the cue sheet; the message starts with "file:line: ".
struct EffectCueError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The lengths a cue may have, in seconds. The longest is well over the
// show's longest cue; every recipe is tested at both ends.
constexpr double kShortestCue = 0.001;
constexpr double kLongestCue = 60.0;

struct EffectCue {
    double start = 0.0;   // show time, seconds
    std::string sound;    // the recipe that makes it
    double seconds = 0.0; // its length
    double level = 0.0;   // dBFS of its loudest 100 ms, before panning
    double pan = 0.0;     // -1 left, 0 centre, 1 right
    int sourceLine = 0;
};

struct EffectCues {
    std::vector<EffectCue> cues;       // in time order
    std::vector<std::string> sayings;  // the murmur's sentences
};

// Reads and checks a cue sheet whose sounds must be among `sounds` (any
// name when `sounds` is empty); throws EffectCueError ("path:line:
// reason") on the first fault.
EffectCues parseEffectCues(const std::string& text, const std::string& path, const std::vector<std::string>& sounds);

// Reads the file at `path` and parses it; throws EffectCueError when it
// does not open.
EffectCues loadEffectCues(const std::string& path, const std::vector<std::string>& sounds);
