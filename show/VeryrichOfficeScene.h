// The very rich man's office: harlan (turned to face him) and vesna call on him.
#pragma once

#include <GL/glew.h>

#include "Placement.h"
#include "engine/Quad.h"
#include "CastScene.h"

class Harlan;
class Veryrich;
class Vesna;
class ResourceManager;
class ShaderProgram;

class VeryrichOfficeScene : public CastScene {
public:
    // Where each character stands, in draw order.
    static const Placement kHarlan;
    static const Placement kVesna;
    static const Placement kVeryrich;

    // Fetches the programs and the "office" picture and builds the
    // characters; `width` and `height` are not used.
    VeryrichOfficeScene(ResourceManager* resources, int width, int height);
    void draw(double time) override;

    Quad quad;
    ShaderProgram* shader;
    ShaderProgram* spriteShader;
    GLuint backdrop;
    Harlan* harlan;
    Vesna* vesna;
    Veryrich* veryrich;
};
