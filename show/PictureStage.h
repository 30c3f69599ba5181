// What the picture-only scenes share: their quad, the "default" program and
// their picture, and the frame they draw: that picture over the whole
// viewport. A scene derives from Scene and from this.
#pragma once

#include "engine/Gl.h"

#include "engine/Quad.h"

class ResourceManager;
class ShaderProgram;

class PictureStage {
public:
    // Which of the two is fetched first: the order decides which missing
    // name a broken resource list reports.
    enum FetchOrder { ProgramFirst, PictureFirst };

    // Creates the quad, then fetches the "default" program and the picture
    // `pictureName` in `order`. Throws std::out_of_range when the resource
    // list lacks one of them.
    PictureStage(ResourceManager* resources, const char* pictureName, FetchOrder order = ProgramFirst);

    // Draws `picture` over the whole viewport on a cleared frame.
    void renderPicture(GLuint picture);

    Quad quad;
    ShaderProgram* shader;
    GLuint backdrop;
};
