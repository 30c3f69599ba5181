// The cemetery by day again: harlan and vesna, their eyes wandering with
// the show time.
#pragma once

#include <GL/glew.h>

#include "Placement.h"
#include "engine/Quad.h"
#include "CastScene.h"

class Harlan;
class Vesna;
class ResourceManager;
class ShaderProgram;

class CemetryDayScene : public CastScene {
public:
    // Where harlan and vesna stand at show time `time`; their pupils swing
    // once every 2 pi seconds, vesna a quarter period ahead of harlan.
    static Placement harlanAt(double time);
    static Placement vesnaAt(double time);

    // Fetches the programs and the "cemetry_day2" picture and builds the
    // characters; `width` and `height` are not used.
    CemetryDayScene(ResourceManager* resources, int width, int height);
    void draw(double time) override;

    Quad quad;
    ShaderProgram* shader;
    ShaderProgram* spriteShader;
    GLuint backdrop;
    Harlan* harlan;
    Vesna* vesna;
};
