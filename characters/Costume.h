// What a kind of figure wears: the texture name of each part, its talking
// and closed mouths, and the resource name of its dialog script. The cast
// classes are characters dressed from one of these.
#pragma once

class Character;
class ResourceManager;

struct Costume {
    const char* body;
    const char* arms;
    const char* legs;
    const char* head;
    const char* hair;
    const char* mouth;
    const char* eyes;
    const char* pupils;
    const char* talkMouths[3]; // leading entries in use; the rest null
    const char* restMouth;     // null: the figure has no closed mouth
    const char* dialog;        // null: the figure never speaks

    // Looks up every texture of the costume and, when it has one, loads its
    // dialog script into `character`. Throws std::out_of_range when the
    // resource list lacks a name.
    void dress(Character& character, ResourceManager* resources) const;
};
