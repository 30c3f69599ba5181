#include "FuneralWife.h"

#include "Costume.h"

FuneralWife::FuneralWife(ResourceManager* resources)
{
    Costume::kFuneralWife.dress(*this, resources);
}
