// The programmer's wife.
#pragma once

#include "Character.h"

class ResourceManager;

class Wife : public Character {
public:
    // Takes its part textures, mouths and dialog script from `resources`.
    explicit Wife(ResourceManager* resources);
};
