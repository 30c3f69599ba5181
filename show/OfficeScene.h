// A second office, where harlan and vesna meet the wife.
#pragma once

#include "CastScene.h"
#include "DialogStage.h"

class Harlan;
class Vesna;
class Wife;
class ResourceManager;

class OfficeScene : public CastScene, public DialogStage {
public:
    // Where each character stands, in draw order.
    static const Placement kHarlan;
    static const Placement kVesna;
    static const Placement kWife;

    // Sets up the stage with the "office2" picture and builds the characters;
    // `width` and `height` are not used.
    OfficeScene(ResourceManager* resources, int width, int height);
    void draw(double time) override;

    Harlan* harlan;
    Vesna* vesna;
    Wife* wife;
};
