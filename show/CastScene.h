// A scene with characters. Their lip sync is the state each frame leaves for
// the next; a scene draws them in draw() and, by default, advances the lip
// sync of its whole cast in the order given to setCast. rewind() puts every
// character back in the pose the scene's constructor left.
#pragma once

#include <initializer_list>
#include <utility>
#include <vector>

#include "characters/Character.h"
#include "engine/Scene.h"

class CastScene : public quorvane_engine::Scene {
public:
    // Advances the state to `time`, then draws: one frame of the show.
    void render(double time) override;
    // The lip-sync step of every character of the cast, in cast order.
    void advance(double time) override;
    // Puts every character back in its pose at the end of construction.
    void rewind() override;
    // The scene's characters, in drawing order.
    std::vector<Character*> characters() const;

protected:
    // Names the scene's characters, in drawing order, and remembers their
    // poses now as the scene's start. Called at the end of the constructor.
    void setCast(std::initializer_list<Character*> characters);

private:
    std::vector<std::pair<Character*, Character::Pose>> cast;
};
