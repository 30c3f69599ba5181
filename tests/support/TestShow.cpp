#include "TestShow.h"

#include <GL/glew.h>

#include <sstream>
#include <vector>

#include "engine/ShaderProgram.h"

namespace {

const char* const kShaderFiles[]
    = {"default.frag", "default.vert", "sprite.frag", "sprite.vert", "blood.frag", "blood.vert"};
const char* const kDialogFiles[] = {
    "harlan.dialog", "vesna.dialog", "prog.dialog", "wife.dialog", "sa.dialog", "veryrich.dialog", "programmer.dialog"};

// A distinct, saturated-enough colour for the n-th texture.
Rgba colourNumber(int n)
{
    return {40 + (n * 73) % 200, 40 + (n * 151) % 200, 40 + (n * 37) % 200, 255};
}

} // namespace

TestShow::TestShow(const std::map<std::string, std::string>& dialogs)
{
    const std::string data = dir.path("data/");
    for (const char* file : kShaderFiles)
        writeFile(data + file, readFile(sourceRoot() + "/data/" + file));
    for (const char* file : kDialogFiles) {
        const auto given = dialogs.find(file);
        writeFile(data + file, given == dialogs.end() ? "" : given->second);
    }

    std::istringstream config(readFile(sourceRoot() + "/data/config.txt"));
    std::string line;
    int n = 0;
    while (std::getline(config, line)) {
        std::istringstream fields(line);
        std::string keyword, name, file;
        fields >> keyword >> name >> file;
        if (keyword != "Texture")
            continue;
        const Rgba c = colourNumber(n++);
        colours[name] = c;
        writeSolidPng(dir.path(file), 8, 8, c.r, c.g, c.b, c.a);
    }
    writeFile(data + "config.txt", readFile(sourceRoot() + "/data/config.txt"));
    chdir = std::make_unique<ScopedChdir>(dir.root);
}

Rgba TestShow::colourOf(const std::string& name) const
{
    return colours.at(name);
}

std::string TestShow::nameOf(unsigned texture) const
{
    if (texture == 0)
        return "(none)";
    GLint width = 0, height = 0;
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    std::vector<uint8_t> texels(static_cast<size_t>(width) * height * 4 + 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    const Rgba colour{texels[0], texels[1], texels[2], texels[3]};
    for (const auto& entry : colours) {
        if (near(entry.second, colour, 0))
            return entry.first;
    }
    return "(unknown)";
}

std::string TestShow::configText() const
{
    return readFile(dir.path("data/config.txt"));
}

void TestShow::writeConfig(const std::string& text) const
{
    writeFile(dir.path("data/config.txt"), text);
}

ShaderProgram* loadRepositoryProgram(const std::string& name)
{
    ShaderProgram* program = new ShaderProgram();
    const std::string base = sourceRoot() + "/data/" + name;
    program->addShader((base + ".frag").c_str(), GL_FRAGMENT_SHADER);
    program->addShader((base + ".vert").c_str(), GL_VERTEX_SHADER);
    program->link();
    return program;
}

unsigned solidTexture(int r, int g, int b, int a, int width, int height)
{
    std::vector<unsigned char> pixels(static_cast<size_t>(width) * height * 4);
    for (size_t i = 0; i < pixels.size(); i += 4) {
        pixels[i] = static_cast<unsigned char>(r);
        pixels[i + 1] = static_cast<unsigned char>(g);
        pixels[i + 2] = static_cast<unsigned char>(b);
        pixels[i + 3] = static_cast<unsigned char>(a);
    }
    GLuint id = 0;
    glGenTextures(1, &id);
    glBindTexture(GL_TEXTURE_2D, id);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return id;
}
