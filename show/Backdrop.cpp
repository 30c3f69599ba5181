#include "Backdrop.h"

#include "engine/Quad.h"
#include "engine/ShaderNames.h"
#include "engine/ShaderProgram.h"

void drawBackdrop(ShaderProgram* program, Quad& quad, GLuint picture)
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    program->use();
    program->bindTexture(UniformName::kSampler, picture);
    quad.draw();
}
