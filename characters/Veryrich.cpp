#include "Veryrich.h"

#include "Costume.h"

Veryrich::Veryrich(ResourceManager* resources)
{
    Costume::kVeryrich.dress(*this, resources);
}
