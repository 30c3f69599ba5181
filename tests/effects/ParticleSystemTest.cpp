#include <gtest/gtest.h>

#include <vector>

#include "GlTest.h"
#include "effects/ParticleSystem.h"
#include "engine/Quad.h"
#include "engine/Random.h"

namespace {

const float kOrigin[3] = {0.605417f, -0.220259f, 0.0f};

GLint boundVertexArray()
{
    GLint vao = -1;
    glGetIntegerv(GL_VERTEX_ARRAY_BINDING, &vao);
    return vao;
}

GLint bufferSize(GLuint buffer)
{
    GLint size = -1;
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glGetBufferParameteriv(GL_ARRAY_BUFFER, GL_BUFFER_SIZE, &size);
    return size;
}

std::vector<float> bufferContents(GLuint buffer, size_t floats)
{
    std::vector<float> data(floats);
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glGetBufferSubData(GL_ARRAY_BUFFER, 0, floats * sizeof(float), data.data());
    return data;
}

// The next `n` values of random01, taken from the start of the sequence.
std::vector<double> draws(int n)
{
    resetRandom();
    std::vector<double> values;
    for (int i = 0; i < n; ++i)
        values.push_back(random01());
    resetRandom();
    return values;
}

} // namespace

TEST(ParticleSystem, construction_spawns_at_the_origin_with_four_draws_per_particle)
{
    REQUIRE_GL();
    const std::vector<double> r = draws(8);
    ParticleSystem particles(2, kOrigin[0], kOrigin[1], kOrigin[2]);
    EXPECT_EQ(particles.positions,
        (std::vector<float>{kOrigin[0], kOrigin[1], kOrigin[2], kOrigin[0], kOrigin[1], kOrigin[2]}));
    // Velocity x, y, z, then the expiry time, particle by particle.
    for (int i = 0; i < 2; ++i) {
        for (int c = 0; c < 3; ++c)
            EXPECT_EQ(particles.velocities[3 * i + c], static_cast<float>(r[4 * i + c] / 100.0)) << i << "," << c;
        EXPECT_EQ(particles.birthTimes[i], 0.0f);
        EXPECT_EQ(particles.expiryTimes[i], static_cast<float>(r[4 * i + 3] * 12.0)) << i;
    }
}

TEST(ParticleSystem, first_update_respawns_every_expired_particle_at_the_origin)
{
    REQUIRE_GL();
    ParticleSystem particles(60, kOrigin[0], kOrigin[1], kOrigin[2]);
    const double t = 269.5;
    particles.update(t);
    ASSERT_EQ(particles.positions.size(), 180u);
    for (int i = 0; i < 60; ++i) {
        for (int c = 0; c < 3; ++c) {
            EXPECT_EQ(particles.positions[3 * i + c], kOrigin[c]) << "particle " << i << " has moved";
            EXPECT_GE(particles.velocities[3 * i + c], 0.0f);
            EXPECT_LE(particles.velocities[3 * i + c], 0.01f);
        }
        EXPECT_EQ(particles.birthTimes[i], static_cast<float>(t));
        EXPECT_GE(particles.expiryTimes[i], static_cast<float>(t));
        EXPECT_LE(particles.expiryTimes[i], static_cast<float>(t + 12.0));
    }
}

TEST(ParticleSystem, respawn_takes_four_draws_in_order)
{
    REQUIRE_GL();
    ParticleSystem particles(2, kOrigin[0], kOrigin[1], kOrigin[2]);
    particles.expiryTimes[0] = 500.0f; // stays alive
    const std::vector<double> r = draws(5);
    particles.step(300.0);
    for (int c = 0; c < 3; ++c)
        EXPECT_EQ(particles.velocities[3 + c], static_cast<float>(r[c] / 100.0)) << c;
    EXPECT_EQ(particles.expiryTimes[1], static_cast<float>(r[3] * 12.0 + 300.0));
    EXPECT_EQ(random01(), r[4]) << "one respawn, four draws";
}

TEST(ParticleSystem, a_live_particle_moves_one_velocity_step_per_update_whatever_the_time)
{
    REQUIRE_GL();
    ParticleSystem particles(1, kOrigin[0], kOrigin[1], kOrigin[2]);
    particles.update(300.0); // respawn, no move
    const std::vector<float> v = particles.velocities;

    // Expiry equal to the time is not past it: the particle moves.
    particles.expiryTimes[0] = 300.5f;
    particles.update(static_cast<double>(300.5f));
    // Two updates at one time move twice.
    particles.update(300.25);
    particles.update(300.25);
    for (int c = 0; c < 3; ++c) {
        const float expected = ((kOrigin[c] + v[c]) + v[c]) + v[c];
        EXPECT_EQ(particles.positions[c], expected) << c;
        EXPECT_EQ(particles.velocities[c], v[c]) << "velocities never change between spawns";
    }
    EXPECT_EQ(particles.birthTimes[0], 300.0f);
}

TEST(ParticleSystem, buffers_hold_the_arrays_and_are_overwritten_in_place)
{
    REQUIRE_GL();
    Quad quad; // leaves its own vertex array bound
    ParticleSystem particles(60, kOrigin[0], kOrigin[1], kOrigin[2]);
    EXPECT_EQ(boundVertexArray(), 0) << "after construction";

    const GLint sizes[4] = {60 * 12, 60 * 12, 60 * 4, 60 * 4};
    for (int b = 0; b < 4; ++b)
        EXPECT_EQ(bufferSize(particles.vbos[b]), sizes[b]) << b;

    // The vertex layout the blood program reads: locations 0 to 3.
    glBindVertexArray(particles.vao);
    const GLint components[4] = {3, 3, 1, 1};
    for (GLuint location = 0; location < 4; ++location) {
        GLint enabled = 0, size = 0, buffer = 0;
        glGetVertexAttribiv(location, GL_VERTEX_ATTRIB_ARRAY_ENABLED, &enabled);
        glGetVertexAttribiv(location, GL_VERTEX_ATTRIB_ARRAY_SIZE, &size);
        glGetVertexAttribiv(location, GL_VERTEX_ATTRIB_ARRAY_BUFFER_BINDING, &buffer);
        EXPECT_EQ(enabled, 1) << location;
        EXPECT_EQ(size, components[location]) << location;
        EXPECT_EQ(static_cast<GLuint>(buffer), particles.vbos[location]) << location;
    }

    particles.update(270.0);
    particles.update(270.5);
    EXPECT_EQ(boundVertexArray(), 0) << "after update";
    for (int b = 0; b < 4; ++b) {
        EXPECT_EQ(bufferSize(particles.vbos[b]), sizes[b]) << b;
        GLint usage = 0;
        glGetBufferParameteriv(GL_ARRAY_BUFFER, GL_BUFFER_USAGE, &usage);
        EXPECT_EQ(usage, GL_DYNAMIC_DRAW) << b;
    }
    EXPECT_EQ(bufferContents(particles.vbos[0], 180), particles.positions);
    EXPECT_EQ(bufferContents(particles.vbos[1], 180), particles.velocities);
    EXPECT_EQ(bufferContents(particles.vbos[2], 60), particles.birthTimes);
    EXPECT_EQ(bufferContents(particles.vbos[3], 60), particles.expiryTimes);

    particles.draw();
    EXPECT_EQ(boundVertexArray(), static_cast<GLint>(particles.vao)) << "draw leaves its vertex array bound";
}

TEST(ParticleSystem, no_particles_makes_empty_buffers_and_draws_nothing)
{
    REQUIRE_GL();
    while (glGetError() != GL_NO_ERROR) { }
    resetRandom();
    ParticleSystem particles(0, 0.0f, 0.0f, 0.0f);
    particles.update(300.0);
    particles.draw();
    EXPECT_TRUE(particles.positions.empty());
    EXPECT_TRUE(particles.expiryTimes.empty());
    for (GLuint buffer : particles.vbos)
        EXPECT_EQ(bufferSize(buffer), 0);
    EXPECT_EQ(randomInt(), 16838) << "no draws at all";
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}
