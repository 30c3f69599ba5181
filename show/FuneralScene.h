// The funeral in the cemetery by day: harlan, the wife in black, vesna.
#pragma once

#include <GL/glew.h>

#include "Placement.h"
#include "engine/Quad.h"
#include "CastScene.h"

class FuneralWife;
class Harlan;
class Vesna;
class ResourceManager;
class ShaderProgram;

class FuneralScene : public CastScene {
public:
    // Where each character stands, in draw order.
    static const Placement kHarlan;
    static const Placement kFuneralWife;
    static const Placement kVesna;

    // Fetches the programs and the "cemetry_day" picture and builds the
    // characters; `width` and `height` are not used.
    FuneralScene(ResourceManager* resources, int width, int height);
    void draw(double time) override;

    Quad quad;
    ShaderProgram* shader;
    ShaderProgram* spriteShader;
    GLuint backdrop;
    Harlan* harlan;
    Vesna* vesna;
    FuneralWife* funeralWife;
};
