// What a kind of figure wears: the texture name of each part, its talking
// and closed mouths, and the resource name of its dialog script. The cast
// classes are characters dressed from one of these; the table of them all is
// in Costume.cpp.
#pragma once

#include "Character.h"

class ResourceManager;

struct Costume {
    const char* parts[Character::kPartCount]; // in the order of Character::kParts
    const char* talkMouths[3];                // leading entries in use; the rest null
    const char* restMouth;                    // null: the figure has no closed mouth
    const char* dialog;                       // null: the figure never speaks

    // Looks up every texture of the costume and, when it has one, loads its
    // dialog script into `character`. Throws std::out_of_range when the
    // resource list lacks a name.
    void dress(Character& character, ResourceManager* resources) const;

    static const Costume kProgrammer;
    static const Costume kWife;
    static const Costume kFuneralWife;
    static const Costume kHarlan;
    static const Costume kVesna;
    static const Costume kVeryrich;
    static const Costume kShopAssistant;
    static const Costume kZombie;
};
