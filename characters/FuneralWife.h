// The wife in her funeral clothes; she speaks from the wife's dialog script.
#pragma once

#include "Character.h"

class ResourceManager;

class FuneralWife : public Character {
public:
    // Takes its part textures, mouths and dialog script from `resources`.
    explicit FuneralWife(ResourceManager* resources);
};
