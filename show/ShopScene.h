// The computer shop: harlan, vesna and the shop assistant. Past 204 s harlan
// turns round to look at vesna, and stays turned.
#pragma once

#include <GL/glew.h>

#include "Placement.h"
#include "engine/Quad.h"
#include "CastScene.h"

class Harlan;
class ShopAssistant;
class Vesna;
class ResourceManager;
class ShaderProgram;

class ShopScene : public CastScene {
public:
    // Show time after which harlan is mirrored and looks the other way.
    static constexpr double kTurnTime = 204.0;

    static const Placement kHarlan;
    static const Placement kVesna;
    static const Placement kShopAssistant;
    // Harlan's pupil offset once he has turned.
    static constexpr float kTurnedPupilX = 0.028125f;
    static constexpr float kTurnedPupilY = -0.016071f;

    // Fetches the programs and the "computershop" picture and builds the
    // characters; `width` and `height` are not used.
    ShopScene(ResourceManager* resources, int width, int height);
    void draw(double time) override;

    Quad quad;
    ShaderProgram* shader;
    ShaderProgram* spriteShader;
    GLuint backdrop;
    Harlan* harlan;
    Vesna* vesna;
    ShopAssistant* shopAssistant;
};
