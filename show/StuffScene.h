// A still picture of packs of software boxes.
#pragma once

#include <GL/glew.h>

#include "engine/Quad.h"
#include "engine/Scene.h"

class ResourceManager;
class ShaderProgram;

class StuffScene : public quorvane_engine::Scene {
public:
    // Fetches the "default" program and the "packs" picture.
    explicit StuffScene(ResourceManager* resources);
    void render(double time) override;

    Quad quad;
    ShaderProgram* shader;
    GLuint backdrop;
};
