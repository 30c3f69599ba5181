// The programmer, at home with his wife.
#pragma once

#include "Character.h"

class ResourceManager;

class Programmer : public Character {
public:
    // Takes its part textures, mouths and dialog script from `resources`.
    explicit Programmer(ResourceManager* resources);
};
