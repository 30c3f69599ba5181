#include "Harlan.h"

#include "Costume.h"

namespace {

const Costume kCostume
    = {"harlan_body", "harlan_arms", "legs_black", "harlan_head", "harlan_hair", "harlan_mouth_1", "harlan_eyes",
        "harlan_pupil", {"harlan_mouth_2", "harlan_mouth_3", "harlan_mouth_4"}, "harlan_mouth_1", "harlandialog"};

} // namespace

Harlan::Harlan(ResourceManager* resources)
{
    kCostume.dress(*this, resources);
}
