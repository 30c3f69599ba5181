#include "CastScene.h"

void CastScene::render(double time)
{
    advance(time);
    draw(time);
}

void CastScene::advance(double time)
{
    for (auto& member : cast)
        member.first->lipSync(time);
}

void CastScene::rewind()
{
    for (auto& member : cast)
        member.first->setPose(member.second);
}

void CastScene::setCast(std::initializer_list<Character*> characters)
{
    cast.clear();
    for (Character* character : characters)
        cast.emplace_back(character, character->pose());
}

std::vector<Character*> CastScene::characters() const
{
    std::vector<Character*> result;
    for (const auto& member : cast)
        result.push_back(member.first);
    return result;
}
