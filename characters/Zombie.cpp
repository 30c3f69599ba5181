#include "Zombie.h"

#include "Costume.h"

namespace {

const Costume kCostume = {"body_4", "arms_4", "legs_black", "zombie_head", "shopassistant_hair", "mouth_8", "eyes_5",
    "pupil", {nullptr, nullptr, nullptr}, nullptr, nullptr};

} // namespace

Zombie::Zombie(ResourceManager* resources)
{
    kCostume.dress(*this, resources);
}
