#include "ShopAssistant.h"

#include "Costume.h"

namespace {

const Costume kCostume = {"shopassistant_body", "shopassistant_arms", "legs_black", "head_2", "shopassistant_hair",
    "shopassistant_mouth_2", "shopassitant_eyes", "pupil", {"shopassistant_mouth_2", "shopassistant_mouth_1", nullptr},
    "shopassistant_mouth_2", "sadialog"};

} // namespace

ShopAssistant::ShopAssistant(ResourceManager* resources)
{
    kCostume.dress(*this, resources);
}
