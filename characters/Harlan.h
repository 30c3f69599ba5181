// Harlan, one of the two leads.
#pragma once

#include "Character.h"

class ResourceManager;

class Harlan : public Character {
public:
    // Takes its part textures, mouths and dialog script from `resources`.
    explicit Harlan(ResourceManager* resources);
};
