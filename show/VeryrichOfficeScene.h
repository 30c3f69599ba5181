// The very rich man's office: harlan (turned to face him) and vesna call on him.
#pragma once

#include "CastScene.h"
#include "DialogStage.h"

class Harlan;
class Veryrich;
class Vesna;
class ResourceManager;

class VeryrichOfficeScene : public CastScene, public DialogStage {
public:
    // Where each character stands, in draw order.
    static const Placement kHarlan;
    static const Placement kVesna;
    static const Placement kVeryrich;

    // Sets up the stage with the "office" picture and builds the characters;
    // `width` and `height` are not used.
    VeryrichOfficeScene(ResourceManager* resources, int width, int height);
    void draw(double time) override;

    Harlan* harlan;
    Vesna* vesna;
    Veryrich* veryrich;
};
