// The funeral in the cemetery by day: harlan, the wife in black, vesna.
#pragma once

#include "CastScene.h"
#include "DialogStage.h"

class FuneralWife;
class Harlan;
class Vesna;
class ResourceManager;

class FuneralScene : public CastScene, public DialogStage {
public:
    // Where each character stands, in draw order.
    static const Placement kHarlan;
    static const Placement kFuneralWife;
    static const Placement kVesna;

    // Sets up the stage with the "cemetry_day" picture and builds the characters;
    // `width` and `height` are not used.
    FuneralScene(ResourceManager* resources, int width, int height);
    void draw(double time) override;

    Harlan* harlan;
    Vesna* vesna;
    FuneralWife* funeralWife;
};
