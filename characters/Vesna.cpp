#include "Vesna.h"

#include "Costume.h"

Vesna::Vesna(ResourceManager* resources)
{
    Costume::kVesna.dress(*this, resources);
}
