// A cut-out puppet: eight full-figure part images (body, arms, legs, head,
// hair, mouth, eyes, pupils) drawn as quads exactly on top of one another.
// A base transform places, scales and turns the whole figure; a head offset
// moves the head group and a pupil offset the pupils on top of it. While the
// show time lies in one of its speech intervals the figure flips between its
// talking mouths at random moments and dips its head at each flip.
//
// Nothing here checks arguments or reports anything; a texture of 0 binds no
// image for its part.
#pragma once

#include "engine/Gl.h"

#include <string>
#include <vector>

#include "engine/Mat4.h"
#include "engine/Quad.h"

class ShaderProgram;

class Character {
public:
    // A figure at scale 1 spans the quad scaled by these factors: 0.6644 by
    // 1.84 in normalised device coordinates.
    static constexpr double kFigureScaleX = 0.3322;
    static constexpr double kFigureScaleY = 0.92;
    static constexpr float kDefaultDepth = 0.11f;
    // Longest time a talking mouth is held, and deepest head dip per flip.
    static constexpr double kMouthHoldTime = 0.5;
    static constexpr double kHeadDip = 0.05;

    // What the show changes on a figure as it plays, apart from its costume
    // and speech intervals: enough to put it back as it was.
    struct Pose {
        GLuint mouthTexture;
        GLuint eyesTexture;
        int mirrored;
        int armsUp;
        Mat4 baseTransform;
        Mat4 headOffset;
        Mat4 pupilOffset;
        double nextMouthChange;
        float depth;
    };

    // The eight parts, in drawing order from back to front: the field that
    // holds the part's texture, how much nearer than the figure's depth it
    // is drawn, and what moves it besides the base transform.
    enum class Moves { WithFigure, WithHead, WithPupils };
    struct Part {
        GLuint Character::*texture;
        float depthStep;
        Moves moves;
    };
    static constexpr int kPartCount = 8;
    static const Part kParts[kPartCount];

    // The defaults: centred, scale 1, depth 0.11, no textures, silent.
    Character();

    // The figure's pose as it stands.
    Pose pose() const;
    // Puts the figure in `pose`, as taken earlier by pose().
    void setPose(const Pose& pose);

    // Rebuilds the base transform as a scale; drops position and rotation.
    void setScale(float s);
    // Moves the figure's centre to (x, y); keeps scale and rotation.
    void setPosition(float x, float y);
    // Turns the figure by `angle` radians about its own centre (counter-
    // clockwise); turns add up until the next setScale.
    void rotate(float angle);
    // Moves the head group by `y` quad units along the figure's up axis.
    void setHeadOffset(float y);
    // Moves the pupils by (x, y) quad units on top of the head offset.
    void setPupilOffset(float x, float y);
    // Draws the figure mirrored from now on; there is no way back.
    void setMirrored();
    // Draws the arms raised from now on; there is no way back.
    void raiseArms();
    void setDepth(float z);
    void setArmsTexture(GLuint texture);
    void setEyesTexture(GLuint texture);
    // Shows `texture` as the mouth until a silent frame or a mouth flip.
    void setMouthTexture(GLuint texture);
    // The closed mouth shown while silent.
    void setRestMouthTexture(GLuint texture);

    // Draws the eight parts with `program`, binding each part's texture to
    // `samplerName` and its matrix to `matrixName`.
    void draw(ShaderProgram* program, const char* samplerName, const char* matrixName);
    // The lip-sync step for show time `time`, then draw.
    void render(double time, ShaderProgram* program, const char* samplerName, const char* matrixName);
    // Appends the speech intervals of the dialog script at `path`; a script
    // that cannot be opened adds none. The path is remembered.
    void loadDialog(std::string path);
    // Reads every script loaded so far again, in the same order, in place of
    // the intervals they gave before.
    void reloadDialogs();
    // True when the script at `path` is one of those loaded.
    bool usesDialog(const std::string& path) const;
    // Reads the script at `to` from now on wherever it read the one at
    // `from`; reloadDialogs() then reads it.
    void replaceDialog(const std::string& from, const std::string& to);

    // True when `time` lies strictly inside one of the speech intervals.
    bool isSpeaking(double time) const;
    // Chooses the mouth and head dip for show time `time`: the closed mouth
    // when silent, a fresh random shape and dip when a flip is due.
    void lipSync(double time);

    Quad partQuads[kPartCount];
    GLuint bodyTexture;
    GLuint armsTexture;
    GLuint legsTexture;
    GLuint headTexture;
    GLuint hairTexture;
    GLuint mouthTexture;
    GLuint eyesTexture;
    GLuint pupilTexture;
    GLuint talkMouths[3];
    GLuint restMouth;
    int mirrored;
    int armsUp;
    int talkMouthCount;
    Mat4 baseTransform;
    Mat4 headOffset;
    Mat4 pupilOffset;
    double nextMouthChange;
    float depth;
    std::vector<double> speechStarts;
    std::vector<double> speechEnds;
    std::vector<std::string> dialogPaths; // in the order loaded
};
