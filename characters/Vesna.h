// Vesna, the other lead.
#pragma once

#include "Character.h"

class ResourceManager;

class Vesna : public Character {
public:
    // Takes its part textures, mouths and dialog script from `resources`.
    explicit Vesna(ResourceManager* resources);
};
