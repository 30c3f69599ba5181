// The end credits, until the show's last scene ends.
#pragma once

#include <GL/glew.h>

#include "engine/Quad.h"
#include "engine/Scene.h"

class ResourceManager;
class ShaderProgram;

class EndcreditScene : public quorvane_engine::Scene {
public:
    // Fetches the "default" program and the "endcredit" picture.
    explicit EndcreditScene(ResourceManager* resources);
    void render(double time) override;

    Quad quad;
    ShaderProgram* shader;
    GLuint backdrop;
};
