// Where a dialog scene puts one of its characters in a frame: one row of the
// scene's placement table, applied anew every frame. An optional column left
// at kKeep leaves the character as it is.
#pragma once

#include <optional>

class Character;
class ShaderProgram;

// The one way a placement row says "not set".
constexpr std::nullopt_t kKeep = std::nullopt;

struct Placement {
    float scale;
    float x, y; // the figure's centre
    std::optional<float> pupilX, pupilY;
    std::optional<float> depth;
    bool mirrored; // false: as it was (mirroring is never undone)

    // Applies the row: depth, scale, pupil offset, position, mirroring.
    void apply(Character& character) const;
    // Applies the row, then draws the character with the sprite program
    // (no lip-sync step: the scene advances that apart).
    void draw(Character& character, ShaderProgram* spriteShader) const;
};
