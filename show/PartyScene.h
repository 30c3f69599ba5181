// The party, the longest scene: harlan and vesna at the left, the very rich
// man trembling in from the right, three twitching zombies. At 263 s two
// zombies raise their arms and the rich man is thrown over; at 269.243 s he
// dies, his head slides off and blood sprays until 271.472 s.
#pragma once

#include "engine/Gl.h"

#include "CastScene.h"
#include "engine/Quad.h"

class Harlan;
class ParticleSystem;
class ResourceManager;
class ShaderProgram;
class Vesna;
class Veryrich;
class Zombie;

class PartyScene : public CastScene {
public:
    static constexpr double kStopTime = 218.926;  // the rich man stands still
    static constexpr double kTurnTime = 263.0;    // arms up, the rich man thrown over
    static constexpr double kDeathTime = 269.243; // dead eyes and mouth, blood
    static constexpr double kBloodEndTime = 271.472;
    static constexpr double kHeadSlideSpeed = 2.0; // quad units per second
    static constexpr double kMaxTwitchWait = 1.2;  // seconds
    static constexpr double kMaxHeadDrop = 0.1;    // quad units
    static constexpr double kPupilJitter = 0.02;   // quad units either way
    static constexpr int kZombieCount = 3;
    static constexpr int kBloodParticles = 60;

    struct Point {
        float x, y;
    };

    // The rich man's walk-in: far right at the start, one unit per second
    // to the left with a fast tremble, standing still from kStopTime on.
    static Point walkPosition(double time);
    // Where he lies once thrown over, and how far he is turned.
    static constexpr Point kThrownPosition = {0.6f, -0.214815f};
    static constexpr float kThrownAngle = 4.76f;
    static bool isThrown(double time) { return time > kTurnTime; }
    static bool isDead(double time) { return time > kDeathTime; }
    static bool isDying(double time) { return time > kDeathTime && time < kBloodEndTime; }

    // Fetches programs, textures and builds the cast and the blood spray;
    // `width` and `height` are not used.
    PartyScene(ResourceManager* resources, int width, int height);
    // Lip sync of harlan, vesna and the rich man (or, while he dies, his
    // head's slide and a step of the blood spray), then the zombies' twitches:
    // every random draw of a frame, in the frame's order.
    void advance(double time) override;
    // Draws the frame: placements that follow from the time alone, then the
    // figures and, while the rich man dies, the blood.
    void draw(double time) override;
    // The cast's poses, the twitch times and the particles as constructed.
    void rewind() override;

    // Zombie `index` twitches when its time has come: a new wait, a head
    // drop and a glance (four random draws, in this order).
    void twitch(int index, double time);

    Quad quad;
    ShaderProgram* shader;
    ShaderProgram* spriteShader;
    ShaderProgram* bloodShader;
    GLuint backdrop;
    GLuint deadMouth;
    GLuint deadEyes;
    Harlan* harlan;
    Vesna* vesna;
    Zombie* zombies[kZombieCount];
    Veryrich* veryrich;
    ParticleSystem* particles;
    double nextTwitch[kZombieCount];

private:
    void drawVeryrich(double time);
    void drawZombies();
};
