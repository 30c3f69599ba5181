#include "Wife.h"

#include "Costume.h"

Wife::Wife(ResourceManager* resources)
{
    Costume::kWife.dress(*this, resources);
}
