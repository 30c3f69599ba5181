// The very rich man.
#pragma once

#include "Character.h"

class ResourceManager;

class Veryrich : public Character {
public:
    // Takes its part textures, mouths and dialog script from `resources`.
    explicit Veryrich(ResourceManager* resources);
};
