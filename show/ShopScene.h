// The computer shop: harlan, vesna and the shop assistant. Past 204 s harlan
// turns round to look at vesna, and stays turned.
#pragma once

#include "CastScene.h"
#include "DialogStage.h"

class Harlan;
class ShopAssistant;
class Vesna;
class ResourceManager;

class ShopScene : public CastScene, public DialogStage {
public:
    // Show time after which harlan is mirrored and looks the other way.
    static constexpr double kTurnTime = 204.0;

    static const Placement kHarlan;
    static const Placement kVesna;
    static const Placement kShopAssistant;
    // Harlan's pupil offset once he has turned.
    static constexpr float kTurnedPupilX = 0.028125f;
    static constexpr float kTurnedPupilY = -0.016071f;
    // Harlan's row at show time `time`: kHarlan, turned after kTurnTime.
    static Placement harlanAt(double time);

    // Sets up the stage with the "computershop" picture and builds the characters;
    // `width` and `height` are not used.
    ShopScene(ResourceManager* resources, int width, int height);
    void draw(double time) override;

    Harlan* harlan;
    Vesna* vesna;
    ShopAssistant* shopAssistant;
};
