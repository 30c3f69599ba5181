// Loads everything the resource list names (textures, shader programs, file
// entries) and answers lookups by name. Lookups of a name that was never
// loaded throw std::out_of_range naming the kind and the name.
#pragma once

#include "Gl.h"

#include <string>
#include <unordered_map>

class ShaderProgram;

class ResourceManager {
public:
    // Reads the resource list at `path` and loads each entry in file order.
    // An unreadable list or an incomplete line is reported on stderr; the
    // manager then holds what could be loaded.
    explicit ResourceManager(const char* path);

    ShaderProgram* getShader(const std::string& name);
    GLuint getTexture(const std::string& name);
    std::string getFile(const std::string& name);

    // When set, hears the name of every texture getTexture is asked for (the
    // web page learns from it which images each scene needs).
    static void (*textureAsked)(const std::string& name);

    std::unordered_map<std::string, ShaderProgram*> shaders;
    std::unordered_map<std::string, GLuint> textures;
    std::unordered_map<std::string, std::string> files;
};
