#include "ResourceManager.h"

#include <cstdio>
#include <fstream>
#include <memory>
#include <stdexcept>

#include <vector>

#include "ConfigLine.h"
#include "ImageLoader.h"
#include "ShaderProgram.h"
#include "Texture.h"

namespace {

template <typename Map>
typename Map::mapped_type lookup(const Map& map, const std::string& kind, const std::string& name)
{
    const auto entry = map.find(name);
    if (entry == map.end())
        throw std::out_of_range("no " + kind + " named \"" + name + "\" in the resource list");
    return entry->second;
}

} // namespace

void (*ResourceManager::textureAsked)(const std::string& name) = nullptr;

ResourceManager::ResourceManager(const char* path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        fprintf(stderr, "%s: cannot open the resource list\n", path);

    // Read the whole list first, so that every image can be decoding on a
    // worker thread while the entries are made, one by one, in file order.
    const std::vector<ConfigLine> entries = ConfigLine::readList(file);
    std::vector<std::string> imagePaths;
    for (const ConfigLine& line : entries) {
        if (line.kind == ConfigLine::Texture)
            imagePaths.push_back(line.first);
    }

    std::unique_ptr<ImageLoader> images = ImageLoader::takePrefetched(path, imagePaths);
    if (!images)
        images = std::make_unique<ImageLoader>(imagePaths);
    size_t nextImage = 0;
    for (const ConfigLine& line : entries) {
        switch (line.kind) {
        case ConfigLine::Texture:
            textures[line.name] = Texture(line.first.c_str(), images->take(nextImage++)).id;
            break;
        case ConfigLine::Shader: {
            ShaderProgram* program = new ShaderProgram();
            program->addShader(line.first.c_str(), GL_FRAGMENT_SHADER);
            program->addShader(line.second.c_str(), GL_VERTEX_SHADER);
            program->link();
            shaders[line.name] = program;
            break;
        }
        case ConfigLine::File:
            files[line.name] = line.first;
            break;
        case ConfigLine::Incomplete:
            fprintf(stderr, "%s:%d: warning: \"%s\" needs %s; line skipped\n", path, line.number, line.keyword.c_str(),
                line.keyword == "Shader" ? "a name and two paths" : "a name and a value");
            break;
        case ConfigLine::HasNul:
            fprintf(stderr, "%s:%d: warning: line holds a NUL byte; line skipped\n", path, line.number);
            break;
        case ConfigLine::Skipped:
            break;
        }
    }
}

ShaderProgram* ResourceManager::getShader(const std::string& name)
{
    return lookup(shaders, "shader program", name);
}

GLuint ResourceManager::getTexture(const std::string& name)
{
    if (textureAsked)
        textureAsked(name);
    return lookup(textures, "texture", name);
}

std::string ResourceManager::getFile(const std::string& name)
{
    return lookup(files, "file entry", name);
}
