#include "PictureStage.h"

#include "Backdrop.h"
#include "engine/ResourceManager.h"
#include "engine/ShaderNames.h"

PictureStage::PictureStage(ResourceManager* resources, const char* pictureName, FetchOrder order)
    : quad()
{
    if (order == PictureFirst)
        backdrop = resources->getTexture(pictureName);
    shader = resources->getShader(ProgramName::kDefault);
    if (order == ProgramFirst)
        backdrop = resources->getTexture(pictureName);
}

void PictureStage::renderPicture(GLuint picture)
{
    drawBackdrop(shader, quad, picture);
}
