#include "Placement.h"

#include "characters/Character.h"

void Placement::apply(Character& character) const
{
    if (depth != 0.0f)
        character.setDepth(depth);
    // The scale rebuilds the base transform, so it comes before the position.
    character.setScale(scale);
    if (hasPupilOffset)
        character.setPupilOffset(pupilX, pupilY);
    character.setPosition(x, y);
    if (mirrored)
        character.setMirrored();
}

void Placement::draw(Character& character, ShaderProgram* spriteShader) const
{
    apply(character);
    character.draw(spriteShader, "img", "pmatrix");
}
