#include "Programmer.h"

#include "Costume.h"

namespace {

const Costume kCostume = {"body_3", "arms_3", "legs_black", "head_2", "hair_1", "mouth_6", "eyes", "pupil",
    {"mouth_2", "mouth_4", "mouth_5"}, "mouth_6", "progdialog"};

} // namespace

Programmer::Programmer(ResourceManager* resources)
{
    kCostume.dress(*this, resources);
}
