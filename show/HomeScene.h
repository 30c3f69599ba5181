// The programmer and his wife at home.
#pragma once

#include "engine/Gl.h"

#include "CastScene.h"
#include "Placement.h"
#include "engine/Quad.h"

class Programmer;
class Wife;
class ResourceManager;
class ShaderProgram;

class HomeScene : public CastScene {
public:
    // Where each character stands, in draw order.
    static const Placement kProgrammer;
    static const Placement kWife;

    // Fetches the programs and the "home" picture and builds the
    // characters; `width` and `height` are not used.
    HomeScene(ResourceManager* resources, int width, int height);
    void draw(double time) override;

    Quad quad;
    ShaderProgram* shader;
    ShaderProgram* spriteShader;
    Programmer* programmer;
    Wife* wife;
    GLuint backdrop;
};
