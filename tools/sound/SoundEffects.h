// The recipes of the show's sound effects, all synthesised: a bell
// telephone, the receiver lifted, earth breaking open, a bite, a gasp, a
// door, footsteps, and a room murmuring (Flite's voices, muffled). Each
// makes mono 44100 Hz floats at an arbitrary level; the cue sheet's
// timing, level and panning are make-effects' work.
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <vector>

// What a recipe is given: the cue's length, a random sequence of its own
// (the same cue gives the same sound on every build), and the sentences of
// the murmur.
struct EffectRequest {
    double seconds = 1.0;
    std::mt19937* random = nullptr;
    const std::vector<std::string>* sayings = nullptr;
};

struct SoundRecipe {
    const char* name;
    const char* what; // one line for --help
    // The sound, `seconds` long plus whatever ring-out it has.
    std::vector<float> (*make)(const EffectRequest&);
};

// Every recipe, by name.
const std::vector<SoundRecipe>& soundRecipes();
