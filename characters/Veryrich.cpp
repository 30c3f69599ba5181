#include "Veryrich.h"

#include "Costume.h"

namespace {

const Costume kCostume = {"veryrich_body", "veryrich_arms", "veryrich_legs", "head_2", "veryrich_hair", "mouth_5",
    "veryrich_eyes", "pupil", {"mouth_2", "mouth_4", "mouth_5"}, "mouth_5", "veryrichdialog"};

} // namespace

Veryrich::Veryrich(ResourceManager* resources)
{
    kCostume.dress(*this, resources);
}
