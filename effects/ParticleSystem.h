// A small fountain of point particles, simulated on the CPU and drawn as GL
// points. Each particle keeps a position, a velocity, its birth time and the
// show time after which it spawns again at the origin. How a particle looks
// is up to the program that draws it: it gets all four values per particle.
//
// Vertex layout: location 0 position (3 floats), 1 velocity (3), 2 birth
// time (1), 3 expiry time (1).
#pragma once

#include "engine/Gl.h"

#include <vector>

class ParticleSystem {
public:
    // Highest velocity component, in units per update.
    static constexpr double kMaxSpeed = 0.01;
    // Longest life of a particle, in seconds.
    static constexpr double kMaxLife = 12.0;

    // `count` particles at (x, y, z), with random velocities and expiry times
    // within the first kMaxLife seconds. Leaves no vertex array bound.
    ParticleSystem(int count, float x, float y, float z);

    // One simulation step at show time `time`, then the upload to GL.
    void update(double time);
    // Draws every particle as a point with the current program.
    void draw();

    // The simulation step alone: particles past their expiry time respawn at
    // the origin (four random draws each), all others move one velocity step.
    void step(double time);
    // Copies the four arrays into their GL buffers.
    void upload();
    // Puts every particle back as construction left it (no random draws).
    void rewind();

    float origin[3];
    int count;
    GLuint vao;
    GLuint vbos[4];
    std::vector<float> positions;
    std::vector<float> velocities;
    std::vector<float> birthTimes;
    std::vector<float> expiryTimes;

private:
    void spawnVelocity(int i);

    // The arrays as construction left them, for rewind.
    std::vector<float> startVelocities;
    std::vector<float> startExpiryTimes;
};
