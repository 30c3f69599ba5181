#include "Programmer.h"

#include "Costume.h"

Programmer::Programmer(ResourceManager* resources)
{
    Costume::kProgrammer.dress(*this, resources);
}
