// The wife at home on the telephone, receiver at her ear.
#pragma once

#include "CastScene.h"
#include "DialogStage.h"

class Wife;
class ResourceManager;

class TelephoneScene : public CastScene, public DialogStage {
public:
    // Where each character stands, in draw order.
    static const Placement kWife;

    // Sets up the stage with the "home" picture and builds the characters;
    // `width` and `height` are not used.
    TelephoneScene(ResourceManager* resources, int width, int height);
    void draw(double time) override;

    Wife* wife;
};
