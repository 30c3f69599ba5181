// What the dialog scenes share: their first four fields (the quad, the
// backdrop and sprite programs, the picture), fetched in that order when the
// scene is built, and the picture they all draw: the backdrop, then each
// character at its placement row. A scene derives from CastScene, which
// advances the lip sync, and from this.
#pragma once

#include "engine/Gl.h"

#include <initializer_list>

#include "Placement.h"
#include "engine/Quad.h"

class Character;
class ResourceManager;
class ShaderProgram;

class DialogStage {
public:
    // One character of a frame and the row it stands at.
    struct Entrance {
        Placement placement;
        Character* character;
    };

    // Creates the quad, then fetches the "default" and "sprite" programs and
    // the picture `backdropName`. Throws std::out_of_range when the resource
    // list lacks one of them.
    DialogStage(ResourceManager* resources, const char* backdropName);

    // Draws the backdrop, then each character in turn at its row, as its
    // lip sync stands.
    void drawStage(std::initializer_list<Entrance> cast);

    Quad quad;
    ShaderProgram* shader;
    ShaderProgram* spriteShader;
    GLuint backdrop;
};
