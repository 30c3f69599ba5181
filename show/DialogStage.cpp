#include "DialogStage.h"

#include "Backdrop.h"
#include "engine/ResourceManager.h"
#include "engine/ShaderNames.h"

DialogStage::DialogStage(ResourceManager* resources, const char* backdropName)
    : quad()
    , shader(resources->getShader(ProgramName::kDefault))
    , spriteShader(resources->getShader(ProgramName::kSprite))
    , backdrop(resources->getTexture(backdropName))
{
}

void DialogStage::drawStage(std::initializer_list<Entrance> cast)
{
    drawBackdrop(shader, quad, backdrop);
    for (const Entrance& entrance : cast)
        entrance.placement.draw(*entrance.character, spriteShader);
}
