#include "Placement.h"

#include "characters/Character.h"
#include "engine/ShaderNames.h"

void Placement::apply(Character& character) const
{
    if (depth)
        character.setDepth(*depth);
    // The scale rebuilds the base transform, so it comes before the position.
    character.setScale(scale);
    if (pupilX || pupilY)
        character.setPupilOffset(pupilX.value_or(0.0f), pupilY.value_or(0.0f));
    character.setPosition(x, y);
    if (mirrored)
        character.setMirrored();
}

void Placement::draw(Character& character, ShaderProgram* spriteShader) const
{
    apply(character);
    character.draw(spriteShader, UniformName::kSampler, UniformName::kMatrix);
}
