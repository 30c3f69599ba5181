#include "Character.h"

#include <fstream>
#include <utility>

#include "DialogScript.h"
#include "engine/Random.h"
#include "engine/ShaderProgram.h"

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
    program->setInt("mirror", mirrored);
    program->setFloat("zscore", depth);

    program->bindTexture(samplerName, bodyTexture);
    program->setMatrix(matrixName, baseTransform);
    partQuads[0].draw();

    program->setFloat("zscore", depth - 0.002f);
    if (armsUp == 1)
        program->setInt("up", 1);
    program->bindTexture(samplerName, armsTexture);
    program->setMatrix(matrixName, baseTransform);
    partQuads[1].draw();
    program->setInt("up", 0);

    program->setFloat("zscore", depth - 0.003f);
    program->bindTexture(samplerName, legsTexture);
    program->setMatrix(matrixName, baseTransform);
    partQuads[2].draw();

    // Head, hair, mouth and eyes move with the head offset, each a little
    // nearer than the part before.
    const GLuint headGroup[4] = {headTexture, hairTexture, mouthTexture, eyesTexture};
    const float headDepths[4] = {0.004f, 0.005f, 0.006f, 0.007f};
    for (int part = 0; part < 4; ++part) {
        program->setFloat("zscore", depth - headDepths[part]);
        program->bindTexture(samplerName, headGroup[part]);
        program->setMatrix(matrixName, headOffset.multiply(baseTransform));
        partQuads[3 + part].draw();
    }

    program->setFloat("zscore", depth - 0.008f);
    program->bindTexture(samplerName, pupilTexture);
    program->setMatrix(matrixName, pupilOffset.multiply(headOffset).multiply(baseTransform));
    partQuads[7].draw();
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
