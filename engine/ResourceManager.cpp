#include "ResourceManager.h"

#include <cstdio>
#include <fstream>
#include <stdexcept>

#include "ConfigLine.h"
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

ResourceManager::ResourceManager(const char* path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        fprintf(stderr, "%s: cannot open the resource list\n", path);

    std::string line;
    for (int number = 1; std::getline(file, line); ++number) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const ConfigLine entry = ConfigLine::parse(line);
        switch (entry.kind) {
        case ConfigLine::Texture:
            textures[entry.name] = Texture(entry.first.c_str()).id;
            break;
        case ConfigLine::Shader: {
            ShaderProgram* program = new ShaderProgram();
            program->addShader(entry.first.c_str(), GL_FRAGMENT_SHADER);
            program->addShader(entry.second.c_str(), GL_VERTEX_SHADER);
            program->link();
            shaders[entry.name] = program;
            break;
        }
        case ConfigLine::File:
            files[entry.name] = entry.first;
            break;
        case ConfigLine::Incomplete:
            fprintf(stderr, "%s:%d: warning: \"%s\" needs %s; line skipped\n", path, number, entry.keyword.c_str(),
                entry.keyword == "Shader" ? "a name and two paths" : "a name and a value");
            break;
        case ConfigLine::HasNul:
            fprintf(stderr, "%s:%d: warning: line holds a NUL byte; line skipped\n", path, number);
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
    return lookup(textures, "texture", name);
}

std::string ResourceManager::getFile(const std::string& name)
{
    return lookup(files, "file entry", name);
}
