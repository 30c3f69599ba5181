#include "Costume.h"

#include "Character.h"
#include "engine/ResourceManager.h"

void Costume::dress(Character& character, ResourceManager* resources) const
{
    character.bodyTexture = resources->getTexture(body);
    character.armsTexture = resources->getTexture(arms);
    character.legsTexture = resources->getTexture(legs);
    character.headTexture = resources->getTexture(head);
    character.hairTexture = resources->getTexture(hair);
    character.mouthTexture = resources->getTexture(mouth);
    character.eyesTexture = resources->getTexture(eyes);
    character.pupilTexture = resources->getTexture(pupils);

    if (restMouth) {
        int count = 0;
        for (const char* name : talkMouths) {
            if (name)
                character.talkMouths[count++] = resources->getTexture(name);
        }
        character.talkMouthCount = count;
        character.restMouth = resources->getTexture(restMouth);
    }
    if (dialog)
        character.loadDialog(resources->getFile(dialog));
}
