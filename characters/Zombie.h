// A zombie of the party. It never speaks: no talking mouths, no closed mouth
// and no dialog script, so scenes draw it without the lip-sync step.
#pragma once

#include "Character.h"

class ResourceManager;

class Zombie : public Character {
public:
    // Takes its part textures, mouths and dialog script from `resources`.
    explicit Zombie(ResourceManager* resources);
};
