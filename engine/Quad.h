// The unit quad every sprite is drawn from: corners at +-1, texture
// coordinates with t = 0 at the top edge. Attribute 0 is the 2-D position,
// attribute 1 the texture coordinate.
#pragma once

#include "Gl.h"

class Quad {
public:
    // Uploads the four corners; leaves the vertex array bound.
    Quad();

    // Draws the quad as a triangle fan; leaves its vertex array bound.
    void draw();

    GLuint vao;
    GLuint vbo[2];
};
