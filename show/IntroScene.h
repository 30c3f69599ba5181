// The opening picture, from the start of the show.
#pragma once

#include "engine/Gl.h"

#include "engine/Quad.h"
#include "engine/Scene.h"

class ResourceManager;
class ShaderProgram;

class IntroScene : public quorvane_engine::Scene {
public:
    // Fetches the "default" program and the "intro" picture.
    explicit IntroScene(ResourceManager* resources);
    void render(double time) override;

    ShaderProgram* shader;
    Quad quad;
    GLuint backdrop;
};
