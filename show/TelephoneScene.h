// The wife at home on the telephone, receiver at her ear.
#pragma once

#include <GL/glew.h>

#include "Placement.h"
#include "engine/Quad.h"
#include "CastScene.h"

class Wife;
class ResourceManager;
class ShaderProgram;

class TelephoneScene : public CastScene {
public:
    // Where each character stands, in draw order.
    static const Placement kWife;

    // Fetches the programs and the "home" picture and builds the
    // characters; `width` and `height` are not used.
    TelephoneScene(ResourceManager* resources, int width, int height);
    void draw(double time) override;

    Quad quad;
    ShaderProgram* shader;
    ShaderProgram* spriteShader;
    GLuint backdrop;
    Wife* wife;
};
