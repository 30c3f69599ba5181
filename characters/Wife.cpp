#include "Wife.h"

#include "Costume.h"

namespace {

const Costume kCostume = {"body_8", "arms_8", "legs_6", "head_2", "hair_2", "mouth", "eyes", "pupil",
    {"mouth_2", "mouth_4", "mouth_5"}, "mouth", "wifedialog"};

} // namespace

Wife::Wife(ResourceManager* resources)
{
    kCostume.dress(*this, resources);
}
