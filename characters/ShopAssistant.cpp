#include "ShopAssistant.h"

#include "Costume.h"

ShopAssistant::ShopAssistant(ResourceManager* resources)
{
    Costume::kShopAssistant.dress(*this, resources);
}
