#include "FuneralWife.h"

#include "Costume.h"

namespace {

const Costume kCostume = {"body_9", "arms_9", "legs_7", "head_2", "hair_7", "mouth_6", "eyes", "pupil",
    {"mouth_2", "mouth_4", "mouth_5"}, "mouth_6", "wifedialog"};

} // namespace

FuneralWife::FuneralWife(ResourceManager* resources)
{
    kCostume.dress(*this, resources);
}
