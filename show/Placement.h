// Where a dialog scene puts one of its characters in a frame: one row of the
// scene's placement table. Applied anew every frame.
#pragma once

class Character;
class ShaderProgram;

struct Placement {
    float scale;
    float x, y;          // the figure's centre
    bool hasPupilOffset; // false: the pupils keep their offset
    float pupilX, pupilY;
    float depth; // 0: the character keeps its depth
    bool mirrored;

    // Applies the row: depth, scale, pupil offset, position, mirroring.
    void apply(Character& character) const;
    // Applies the row, then draws the character with the sprite program
    // (no lip-sync step: the scene advances that apart).
    void draw(Character& character, ShaderProgram* spriteShader) const;
};
