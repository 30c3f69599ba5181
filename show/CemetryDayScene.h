// The cemetery by day again: harlan and vesna, their eyes wandering with
// the show time.
#pragma once

#include "CastScene.h"
#include "DialogStage.h"

class Harlan;
class Vesna;
class ResourceManager;

class CemetryDayScene : public CastScene, public DialogStage {
public:
    // Where harlan and vesna stand at show time `time`; their pupils swing
    // once every 2 pi seconds, vesna a quarter period ahead of harlan.
    static Placement harlanAt(double time);
    static Placement vesnaAt(double time);

    // Sets up the stage with the "cemetry_day2" picture and builds the characters;
    // `width` and `height` are not used.
    CemetryDayScene(ResourceManager* resources, int width, int height);
    void draw(double time) override;

    Harlan* harlan;
    Vesna* vesna;
};
