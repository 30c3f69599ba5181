// A second office, where harlan and vesna meet the wife.
#pragma once

#include <GL/glew.h>

#include "Placement.h"
#include "engine/Quad.h"
#include "CastScene.h"

class Harlan;
class Vesna;
class Wife;
class ResourceManager;
class ShaderProgram;

class OfficeScene : public CastScene {
public:
    // Where each character stands, in draw order.
    static const Placement kHarlan;
    static const Placement kVesna;
    static const Placement kWife;

    // Fetches the programs and the "office2" picture and builds the
    // characters; `width` and `height` are not used.
    OfficeScene(ResourceManager* resources, int width, int height);
    void draw(double time) override;

    Quad quad;
    ShaderProgram* shader;
    ShaderProgram* spriteShader;
    GLuint backdrop;
    Harlan* harlan;
    Vesna* vesna;
    Wife* wife;
};
