// A still picture of a computer on a desk.
#pragma once

#include <GL/glew.h>

#include "engine/Quad.h"
#include "engine/Scene.h"

class ResourceManager;
class ShaderProgram;

class AmigaOnDeskScene : public quorvane_engine::Scene {
public:
    // Fetches the "default" program and the "desk" picture.
    explicit AmigaOnDeskScene(ResourceManager* resources);
    void render(double time) override;

    Quad quad;
    ShaderProgram* shader;
    GLuint backdrop;
};
