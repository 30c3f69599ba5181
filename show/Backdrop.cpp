#include "Backdrop.h"

#include "engine/Quad.h"
#include "engine/ShaderNames.h"
#include "engine/ShaderProgram.h"
#include "engine/Texture.h"

void drawBackdrop(ShaderProgram* program, Quad& quad, GLuint picture)
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    program->use();
    program->bindTexture(UniformName::kSampler, picture);
    // Blending an opaque picture gives its own colours (alpha 1 keeps none
    // of what was under it), so an opaque backdrop skips the blending unit.
    const Texture* texture = Texture::find(picture);
    const bool unblended = texture && texture->opaque && glIsEnabled(GL_BLEND);
    if (unblended)
        glDisable(GL_BLEND);
    quad.draw();
    if (unblended)
        glEnable(GL_BLEND);
}
