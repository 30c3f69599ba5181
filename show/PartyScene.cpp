#include "PartyScene.h"

#include <cmath>

#include "Backdrop.h"
#include "SceneWindows.h"
#include "characters/Harlan.h"
#include "characters/Veryrich.h"
#include "characters/Vesna.h"
#include "characters/Zombie.h"
#include "effects/ParticleSystem.h"
#include "engine/Mat4.h"
#include "engine/Random.h"
#include "engine/ResourceManager.h"
#include "engine/ShaderNames.h"
#include "engine/ShaderProgram.h"

namespace {

// The walk ends where the moving x reaches the standing place.
constexpr double kWalkEndX = 219.781208;
constexpr float kStandX = 0.855208f;
constexpr double kFloorY = -0.538889;
constexpr double kTrembleRate = 100.0;   // radians per second
constexpr double kTrembleDivisor = 50.0; // a tremble of 0.02 either way

constexpr float kFigureScale = 0.4f;
constexpr double kPupilSpan = 2.0 * PartyScene::kPupilJitter;
const PartyScene::Point kZombieSpots[PartyScene::kZombieCount]
    = {{0.167708f, -0.542593f}, {0.435417f, -0.542593f}, {0.7f, -0.544444f}};
constexpr float kZombie2Depth = 0.1f;
constexpr float kZombie3Depth = 0.09f;
const float kBloodOrigin[3] = {0.605417f, -0.220259f, 0.0f};

} // namespace

PartyScene::Point PartyScene::walkPosition(double time)
{
    if (time < kStopTime) {
        const double x = kWalkEndX - time;
        const double y = std::sin(kTrembleRate * time) / kTrembleDivisor + kFloorY;
        return {static_cast<float>(x), static_cast<float>(y)};
    }
    return {kStandX, static_cast<float>(kFloorY)};
}

PartyScene::PartyScene(ResourceManager* resources, int, int)
    : quad()
{
    SceneWindows::apply(*this, SceneWindows::Party);
    shader = resources->getShader(ProgramName::kDefault);
    spriteShader = resources->getShader(ProgramName::kSprite);
    bloodShader = resources->getShader(ProgramName::kBlood);
    backdrop = resources->getTexture("party");
    deadEyes = resources->getTexture("dead_eyes");
    deadMouth = resources->getTexture("dead_mouth");
    harlan = new Harlan(resources);
    vesna = new Vesna(resources);
    veryrich = new Veryrich(resources);
    for (Zombie*& zombie : zombies)
        zombie = new Zombie(resources);
    particles = new ParticleSystem(kBloodParticles, kBloodOrigin[0], kBloodOrigin[1], kBloodOrigin[2]);
    for (double& due : nextTwitch)
        due = 0.0;
    setCast({harlan, vesna, veryrich, zombies[0], zombies[1], zombies[2]});
}

void PartyScene::advance(double time)
{
    harlan->lipSync(time);
    vesna->lipSync(time);
    if (isDead(time)) {
        veryrich->setEyesTexture(deadEyes);
        veryrich->setMouthTexture(deadMouth);
    }
    if (isDying(time)) {
        // No lip sync while he dies, so the dead mouth stays.
        veryrich->setHeadOffset(static_cast<float>((time - kDeathTime) * kHeadSlideSpeed));
        particles->step(time);
    } else {
        veryrich->lipSync(time);
    }
    if (isThrown(time)) {
        zombies[1]->raiseArms();
        zombies[2]->raiseArms();
    }
    for (int i = 0; i < kZombieCount; ++i)
        twitch(i, time);
}

void PartyScene::draw(double time)
{
    drawBackdrop(shader, quad, backdrop);

    harlan->setScale(kFigureScale);
    harlan->setMirrored();
    harlan->setPosition(-0.542708f, -0.544444f);
    harlan->draw(spriteShader, UniformName::kSampler, UniformName::kMatrix);

    vesna->setScale(kFigureScale);
    vesna->setPosition(-0.275f, -0.542593f);
    vesna->draw(spriteShader, UniformName::kSampler, UniformName::kMatrix);

    drawVeryrich(time);
    drawZombies();
}

void PartyScene::rewind()
{
    CastScene::rewind();
    for (double& due : nextTwitch)
        due = 0.0;
    particles->rewind();
}

void PartyScene::drawVeryrich(double time)
{
    veryrich->setScale(kFigureScale); // also drops last frame's turn
    const Point walk = walkPosition(time);
    veryrich->setPosition(walk.x, walk.y);
    if (isThrown(time)) {
        veryrich->setPosition(kThrownPosition.x, kThrownPosition.y);
        veryrich->rotate(kThrownAngle);
    }
    veryrich->draw(spriteShader, UniformName::kSampler, UniformName::kMatrix);
    if (!isDying(time))
        return;

    bloodShader->use();
    Mat4 identity;
    identity.setTranslation(0.0, 0.0, 0.0);
    bloodShader->setMatrix(UniformName::kMatrix, identity);
    bloodShader->setFloat(UniformName::kTime, static_cast<float>(time));
    particles->upload();
    particles->draw();
}

void PartyScene::twitch(int index, double time)
{
    if (!(time > nextTwitch[index]))
        return;
    Zombie* zombie = zombies[index];
    nextTwitch[index] = time + random01() * kMaxTwitchWait;
    zombie->setHeadOffset(static_cast<float>(random01() * -kMaxHeadDrop));
    // The first draw is the y offset, the second the x offset.
    const double y = random01() * kPupilSpan - kPupilJitter;
    const double x = random01() * kPupilSpan - kPupilJitter;
    zombie->setPupilOffset(static_cast<float>(x), static_cast<float>(y));
}

void PartyScene::drawZombies()
{
    for (Zombie* zombie : zombies)
        zombie->setScale(kFigureScale);
    zombies[1]->setDepth(kZombie2Depth);
    zombies[2]->setDepth(kZombie3Depth);
    for (int i = 0; i < kZombieCount; ++i)
        zombies[i]->setPosition(kZombieSpots[i].x, kZombieSpots[i].y);
    // Zombies never speak: drawn without the lip-sync step.
    for (Zombie* zombie : zombies)
        zombie->draw(spriteShader, UniformName::kSampler, UniformName::kMatrix);
}
