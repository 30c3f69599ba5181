#include "Zombie.h"

#include "Costume.h"

Zombie::Zombie(ResourceManager* resources)
{
    Costume::kZombie.dress(*this, resources);
}
