// The shop assistant of the computer shop. She has two talking mouths, the
// first of them also her closed one.
#pragma once

#include "Character.h"

class ResourceManager;

class ShopAssistant : public Character {
public:
    // Takes its part textures, mouths and dialog script from `resources`.
    explicit ShopAssistant(ResourceManager* resources);
};
