#include "Character.h"

#include <fstream>
#include <utility>

#include "DialogScript.h"
#include "PartScissor.h"
#include "engine/Random.h"
#include "engine/ShaderNames.h"
#include "engine/ShaderProgram.h"
#include "engine/Texture.h"

namespace {

// The row of the figure frame that raised arms mirror about, as the sprite
// program declares it; below 0 when the program has no such uniform.
double shoulderLineOf(const ShaderProgram& program)
{
    const GLint location = glGetUniformLocation(program.id, UniformName::kShoulderLine);
    GLfloat line = -1.0f;
    if (location >= 0)
        glGetUniformfv(program.id, location, &line);
    return line;
}

// One figure's drawing of its parts, with what every part shares.
struct PartDraw {
    ShaderProgram* program;
    const char* samplerName;
    const char* matrixName;
    PartScissor::Sampling sampling;
    GLint viewport[4];

    // Draws `quad` with `texture` through `matrix`, clipped to where the
    // texture's picture can show (once per band of PartScissor::findBands);
    // a texture with nothing to show is not drawn, one made outside Texture
    // is drawn whole.
    void draw(Quad& quad, GLuint texture, const Mat4& matrix)
    {
        const Texture* known = Texture::find(texture);
        int boxes[PartScissor::kMaxBands][4] = {{viewport[0], viewport[1], viewport[2], viewport[3]}};
        const int count = known ? PartScissor::findBands(*known, matrix, sampling, viewport, boxes) : 1;
        if (count == 0)
            return;
        program->bindTexture(samplerName, texture);
        program->setMatrix(matrixName, matrix);
        for (int i = 0; i < count; ++i) {
            glScissor(boxes[i][0], boxes[i][1], boxes[i][2], boxes[i][3]);
            quad.draw();
        }
    }
};

} // namespace

const Character::Part Character::kParts[kPartCount] = {
    // texture                  depth step  moves
    {&Character::bodyTexture,   0.0f,       Moves::WithFigure},
    {&Character::armsTexture,   0.002f,     Moves::WithFigure},
    {&Character::legsTexture,   0.003f,     Moves::WithFigure},
    {&Character::headTexture,   0.004f,     Moves::WithHead},
    {&Character::hairTexture,   0.005f,     Moves::WithHead},
    {&Character::mouthTexture,  0.006f,     Moves::WithHead},
    {&Character::eyesTexture,   0.007f,     Moves::WithHead},
    {&Character::pupilTexture,  0.008f,     Moves::WithPupils},
};

Character::Character()
    : bodyTexture(0)
    , armsTexture(0)
    , legsTexture(0)
    , headTexture(0)
    , hairTexture(0)
    , mouthTexture(0)
    , eyesTexture(0)
    , pupilTexture(0)
    , talkMouths{0, 0, 0}
    , restMouth(0)
    , mirrored(0)
    , armsUp(0)
    , talkMouthCount(1)
    , nextMouthChange(0.0)
    , depth(kDefaultDepth)
{
    baseTransform.setScale(kFigureScaleX, kFigureScaleY, 1.0);
    headOffset.setTranslation(0.0, 0.0, 0.0);
    pupilOffset.setTranslation(0.0, 0.0, 0.0);
}

Character::Pose Character::pose() const
{
    return {mouthTexture, eyesTexture, mirrored, armsUp, baseTransform, headOffset, pupilOffset, nextMouthChange,
        depth};
}

void Character::setPose(const Pose& pose)
{
    mouthTexture = pose.mouthTexture;
    eyesTexture = pose.eyesTexture;
    mirrored = pose.mirrored;
    armsUp = pose.armsUp;
    baseTransform = pose.baseTransform;
    headOffset = pose.headOffset;
    pupilOffset = pose.pupilOffset;
    nextMouthChange = pose.nextMouthChange;
    depth = pose.depth;
}

void Character::setScale(float s)
{
    baseTransform.setScale(kFigureScaleX * s, kFigureScaleY * s, 1.0);
}

void Character::setPosition(float x, float y)
{
    baseTransform.set(12, x);
    baseTransform.set(13, y);
}

void Character::rotate(float angle)
{
    Mat4 rotation;
    rotation.setRotation(0.0, 0.0, angle);
    baseTransform = rotation.multiply(baseTransform);
}

void Character::setHeadOffset(float y)
{
    headOffset.setTranslation(0.0, y, 0.0);
}

void Character::setPupilOffset(float x, float y)
{
    pupilOffset.setTranslation(x, y, 0.0);
}

void Character::setMirrored()
{
    mirrored = 1;
}

void Character::raiseArms()
{
    armsUp = 1;
}

void Character::setDepth(float z)
{
    depth = z;
}

void Character::setArmsTexture(GLuint texture)
{
    armsTexture = texture;
}

void Character::setEyesTexture(GLuint texture)
{
    eyesTexture = texture;
}

void Character::setMouthTexture(GLuint texture)
{
    mouthTexture = texture;
}

void Character::setRestMouthTexture(GLuint texture)
{
    restMouth = texture;
}

void Character::draw(ShaderProgram* program, const char* samplerName, const char* matrixName)
{
    program->use();
    program->setInt(UniformName::kMirror, mirrored);
    const Mat4 headTransform = headOffset.multiply(baseTransform);
    const Mat4 pupilTransform = pupilOffset.multiply(headOffset).multiply(baseTransform);
    const Mat4* transforms[] = {&baseTransform, &headTransform, &pupilTransform};

    // Each part is drawn through the scissor rectangle where its picture can
    // show, so that the transparent rest of its figure-sized quad costs no
    // fragments (see PartScissor).
    PartDraw drawing{program, samplerName, matrixName, {}, {}};
    glGetIntegerv(GL_VIEWPORT, drawing.viewport);
    drawing.sampling.mirrored = mirrored == 1;
    drawing.sampling.shoulderLine = shoulderLineOf(*program);
    glEnable(GL_SCISSOR_TEST);
    for (int i = 0; i < kPartCount; ++i) {
        const Part& part = kParts[i];
        // Only the arms know the raised pose.
        const bool arms = part.texture == &Character::armsTexture;
        program->setFloat(UniformName::kDepth, depth - part.depthStep);
        if (arms)
            program->setInt(UniformName::kArmsUp, armsUp);
        drawing.sampling.raised = arms && armsUp == 1;
        drawing.draw(partQuads[i], this->*part.texture, *transforms[static_cast<int>(part.moves)]);
        if (arms)
            program->setInt(UniformName::kArmsUp, 0);
    }
    glDisable(GL_SCISSOR_TEST);
}

void Character::render(double time, ShaderProgram* program, const char* samplerName, const char* matrixName)
{
    lipSync(time);
    draw(program, samplerName, matrixName);
}

void Character::loadDialog(std::string path)
{
    std::ifstream script(path);
    DialogScript::read(script, speechStarts, speechEnds);
    dialogPaths.push_back(std::move(path));
}

void Character::reloadDialogs()
{
    speechStarts.clear();
    speechEnds.clear();
    for (const std::string& path : dialogPaths) {
        std::ifstream script(path);
        DialogScript::read(script, speechStarts, speechEnds);
    }
}

bool Character::usesDialog(const std::string& path) const
{
    for (const std::string& loaded : dialogPaths)
        if (loaded == path)
            return true;
    return false;
}

void Character::replaceDialog(const std::string& from, const std::string& to)
{
    for (std::string& path : dialogPaths)
        if (path == from)
            path = to;
}

bool Character::isSpeaking(double time) const
{
    for (size_t i = 0; i < speechStarts.size(); ++i) {
        if (speechStarts[i] < time && time < speechEnds[i])
            return true;
    }
    return false;
}

void Character::lipSync(double time)
{
    if (!isSpeaking(time)) {
        mouthTexture = restMouth;
        return;
    }
    if (time > nextMouthChange) {
        // Three draws from the shared sequence, in this order.
        nextMouthChange = time + kMouthHoldTime * random01();
        mouthTexture = talkMouths[randomInt() % talkMouthCount];
        headOffset.setTranslation(0.0, -kHeadDip * random01(), 0.0);
    }
}
