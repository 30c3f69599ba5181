// The first step of every scene's frame: clear colour and depth, then draw
// one picture over the whole viewport with the backdrop program.
#pragma once

#include "engine/Gl.h"

class Quad;
class ShaderProgram;

// Clears the frame and fills the viewport with `picture` through `program`.
void drawBackdrop(ShaderProgram* program, Quad& quad, GLuint picture);
