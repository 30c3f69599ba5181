// The programmer and his wife at home.
#pragma once

#include <GL/glew.h>

#include "Placement.h"
#include "engine/Quad.h"
#include "engine/Scene.h"

class Programmer;
class Wife;
class ResourceManager;
class ShaderProgram;

class HomeScene : public quorvane_engine::Scene {
public:
    // Where each character stands, in draw order.
    static const Placement kProgrammer;
    static const Placement kWife;

    // Fetches the programs and the "home" picture and builds the
    // characters; `width` and `height` are not used.
    HomeScene(ResourceManager* resources, int width, int height);
    void render(double time) override;

    Quad quad;
    ShaderProgram* shader;
    ShaderProgram* spriteShader;
    Programmer* programmer;
    Wife* wife;
    GLuint backdrop;
};
