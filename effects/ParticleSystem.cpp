#include "ParticleSystem.h"

#include "engine/Random.h"

namespace {

// Components per particle of each array, in buffer order.
const GLint kComponents[4] = {3, 3, 1, 1};

} // namespace

ParticleSystem::ParticleSystem(int count, float x, float y, float z)
    : origin{x, y, z}
    , count(count)
    , vao(0)
    , vbos{0, 0, 0, 0}
{
    for (int i = 0; i < count; ++i) {
        positions.insert(positions.end(), origin, origin + 3);
        velocities.insert(velocities.end(), 3, 0.0f);
        spawnVelocity(i);
        birthTimes.push_back(0.0f);
        expiryTimes.push_back(static_cast<float>(random01() * kMaxLife));
    }

    startVelocities = velocities;
    startExpiryTimes = expiryTimes;

    const std::vector<float>* arrays[4] = {&positions, &velocities, &birthTimes, &expiryTimes};
    glGenVertexArrays(1, &vao);
    glBindVertexArray(vao);
    glGenBuffers(4, vbos);
    for (GLuint location = 0; location < 4; ++location) {
        glBindBuffer(GL_ARRAY_BUFFER, vbos[location]);
        glBufferData(
            GL_ARRAY_BUFFER, arrays[location]->size() * sizeof(float), arrays[location]->data(), GL_DYNAMIC_DRAW);
        glVertexAttribPointer(location, kComponents[location], GL_FLOAT, GL_FALSE, 0, nullptr);
        glEnableVertexAttribArray(location);
    }
    glBindVertexArray(0);
}

void ParticleSystem::spawnVelocity(int i)
{
    // x, y, z in this order, each in [0, 0.01].
    for (int c = 0; c < 3; ++c)
        velocities[3 * i + c] = static_cast<float>(random01() / 100.0);
}

void ParticleSystem::step(double time)
{
    for (int i = 0; i < count; ++i) {
        const int j = 3 * i;
        if (time > expiryTimes[i]) {
            for (int c = 0; c < 3; ++c)
                positions[j + c] = origin[c];
            spawnVelocity(i);
            birthTimes[i] = static_cast<float>(time);
            expiryTimes[i] = static_cast<float>(random01() * kMaxLife + time);
        } else {
            for (int c = 0; c < 3; ++c)
                positions[j + c] += velocities[j + c];
        }
    }
}

void ParticleSystem::update(double time)
{
    step(time);
    upload();
}

void ParticleSystem::rewind()
{
    for (int i = 0; i < count; ++i) {
        for (int c = 0; c < 3; ++c)
            positions[3 * i + c] = origin[c];
        birthTimes[i] = 0.0f;
    }
    velocities = startVelocities;
    expiryTimes = startExpiryTimes;
}

void ParticleSystem::upload()
{
    const std::vector<float>* arrays[4] = {&positions, &velocities, &birthTimes, &expiryTimes};
    glBindVertexArray(vao);
    for (int b = 0; b < 4; ++b) {
        glBindBuffer(GL_ARRAY_BUFFER, vbos[b]);
        glBufferSubData(GL_ARRAY_BUFFER, 0, arrays[b]->size() * sizeof(float), arrays[b]->data());
    }
    glBindVertexArray(0);
}

void ParticleSystem::draw()
{
    glBindVertexArray(vao);
    glDrawArrays(GL_POINTS, 0, count);
}
