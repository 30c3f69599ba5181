#include "Costume.h"

#include "engine/ResourceManager.h"

// The cast's costumes. Parts: body, arms, legs, head, hair, mouth, eyes,
// pupils; then the talking mouths, the closed mouth and the dialog name.
const Costume Costume::kProgrammer
    = {{"body_3", "arms_3", "legs_black", "head_2", "hair_1", "mouth_6", "eyes", "pupil"},
        {"mouth_2", "mouth_4", "mouth_5"}, "mouth_6", "progdialog"};
const Costume Costume::kWife = {{"body_8", "arms_8", "legs_6", "head_2", "hair_2", "mouth", "eyes", "pupil"},
    {"mouth_2", "mouth_4", "mouth_5"}, "mouth", "wifedialog"};
const Costume Costume::kFuneralWife = {{"body_9", "arms_9", "legs_7", "head_2", "hair_7", "mouth_6", "eyes", "pupil"},
    {"mouth_2", "mouth_4", "mouth_5"}, "mouth_6", "wifedialog"};
const Costume Costume::kHarlan = {{"harlan_body", "harlan_arms", "legs_black", "harlan_head", "harlan_hair",
                                      "harlan_mouth_1", "harlan_eyes", "harlan_pupil"},
    {"harlan_mouth_2", "harlan_mouth_3", "harlan_mouth_4"}, "harlan_mouth_1", "harlandialog"};
const Costume Costume::kVesna = {{"vesna_body", "vesna_arms", "vesna_legs", "vesna_head", "vesna_hair", "vesna_mouth_1",
                                     "vesna_eyes", "vesna_pupil"},
    {"vesna_mouth_2", "vesna_mouth_3", "vesna_mouth_4"}, "vesna_mouth_1", "vesnadialog"};
const Costume Costume::kVeryrich = {
    {"veryrich_body", "veryrich_arms", "veryrich_legs", "head_2", "veryrich_hair", "mouth_5", "veryrich_eyes", "pupil"},
    {"mouth_2", "mouth_4", "mouth_5"}, "mouth_5", "veryrichdialog"};
const Costume Costume::kShopAssistant
    = {{"shopassistant_body", "shopassistant_arms", "legs_black", "head_2", "shopassistant_hair",
           "shopassistant_mouth_2", "shopassitant_eyes", "pupil"},
        {"shopassistant_mouth_2", "shopassistant_mouth_1", nullptr}, "shopassistant_mouth_2", "sadialog"};
const Costume Costume::kZombie
    = {{"body_4", "arms_4", "legs_black", "zombie_head", "shopassistant_hair", "mouth_8", "eyes_5", "pupil"},
        {nullptr, nullptr, nullptr}, nullptr, nullptr};

void Costume::dress(Character& character, ResourceManager* resources) const
{
    for (int i = 0; i < Character::kPartCount; ++i)
        character.*Character::kParts[i].texture = resources->getTexture(parts[i]);

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
