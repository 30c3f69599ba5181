#include "Vesna.h"

#include "Costume.h"

namespace {

const Costume kCostume = {"vesna_body", "vesna_arms", "vesna_legs", "vesna_head", "vesna_hair", "vesna_mouth_1",
    "vesna_eyes", "vesna_pupil", {"vesna_mouth_2", "vesna_mouth_3", "vesna_mouth_4"}, "vesna_mouth_1", "vesnadialog"};

} // namespace

Vesna::Vesna(ResourceManager* resources)
{
    kCostume.dress(*this, resources);
}
