#include "Harlan.h"

#include "Costume.h"

Harlan::Harlan(ResourceManager* resources)
{
    Costume::kHarlan.dress(*this, resources);
}
