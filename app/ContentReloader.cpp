#include "ContentReloader.h"

#include <GL/glew.h>
#include <sys/stat.h>

#include <fstream>

#include "characters/Character.h"
#include "engine/ConfigLine.h"
#include "engine/ResourceManager.h"
#include "engine/ShaderProgram.h"
#include "engine/Texture.h"
#include "show/CastScene.h"
#include "show/MyDemo.h"

ContentReloader::ContentReloader(MyDemo& show)
    : show(show)
{
    watchList();
}

long long ContentReloader::stamp(const std::string& path)
{
    struct stat status {};
    if (path.empty() || stat(path.c_str(), &status) != 0)
        return 0;
    return static_cast<long long>(status.st_mtim.tv_sec) * 1000000000LL + status.st_mtim.tv_nsec;
}

void ContentReloader::watchList()
{
    watched.clear();
    listStamp = stamp(MyDemo::kConfigPath);
    std::ifstream list(MyDemo::kConfigPath, std::ios::binary);
    for (const ConfigLine& line : ConfigLine::readList(list)) {
        Watched entry{Kind::Texture, line.name, {line.first, ""}, {0, 0}};
        if (line.kind == ConfigLine::Shader) {
            entry.kind = Kind::Shader;
            entry.paths[1] = line.second;
        } else if (line.kind == ConfigLine::File) {
            entry.kind = Kind::Dialog;
        } else if (line.kind != ConfigLine::Texture) {
            continue;
        }
        for (int i = 0; i < 2; ++i)
            entry.stamps[i] = stamp(entry.paths[i]);
        watched.push_back(entry);
    }
}

std::vector<std::string> ContentReloader::poll(double now)
{
    std::vector<std::string> messages;
    if (now - lastPoll < kPollInterval)
        return messages;
    lastPoll = now;
    if (stamp(MyDemo::kConfigPath) != listStamp) {
        messages.push_back(reloadAll());
        return messages;
    }
    for (Watched& entry : watched) {
        bool changed = false;
        for (int i = 0; i < 2; ++i) {
            const long long current = stamp(entry.paths[i]);
            changed = changed || current != entry.stamps[i];
            entry.stamps[i] = current;
        }
        if (changed)
            messages.push_back(reload(entry));
    }
    for (Extra& extra : extras) {
        const long long current = stamp(extra.path);
        if (current != extra.stamp) {
            extra.stamp = current;
            messages.push_back(extra.reload());
        }
    }
    return messages;
}

void ContentReloader::watch(const std::string& path, std::function<std::string()> reload)
{
    extras.push_back({path, std::move(reload), stamp(path)});
}

std::string ContentReloader::reloadAll()
{
    watchList();
    int failed = 0;
    for (const Watched& entry : watched)
        failed += reload(entry).find("kept") != std::string::npos;
    for (Extra& extra : extras) {
        extra.stamp = stamp(extra.path);
        failed += extra.reload().find("kept") != std::string::npos;
    }
    return "reloaded " + std::string(MyDemo::kConfigPath) + " and everything it names"
        + (failed ? " (" + std::to_string(failed) + " kept their old version)" : "");
}

std::string ContentReloader::reload(const Watched& entry)
{
    ResourceManager& resources = *show.resources;
    switch (entry.kind) {
    case Kind::Texture: {
        const auto texture = resources.textures.find(entry.name);
        if (texture == resources.textures.end())
            return entry.paths[0] + ": texture \"" + entry.name + "\" is new; restart to use it";
        std::string error;
        if (!Texture::reload(texture->second, entry.paths[0].c_str(), error))
            return entry.paths[0] + ": " + error + "; the old picture is kept";
        return "reloaded " + entry.paths[0];
    }
    case Kind::Shader: {
        const auto program = resources.shaders.find(entry.name);
        if (program == resources.shaders.end())
            return entry.paths[0] + ": program \"" + entry.name + "\" is new; restart to use it";
        ShaderProgram* fresh = new ShaderProgram();
        fresh->addShader(entry.paths[0].c_str(), GL_FRAGMENT_SHADER);
        fresh->addShader(entry.paths[1].c_str(), GL_VERTEX_SHADER);
        fresh->link();
        GLint linked = 0;
        glGetProgramiv(fresh->id, GL_LINK_STATUS, &linked);
        const std::string what = entry.paths[0] + " and " + entry.paths[1];
        if (!linked) {
            glDeleteProgram(fresh->id);
            delete fresh;
            return what + ": does not build; the old program is kept";
        }
        glDeleteProgram(program->second->id);
        program->second->id = fresh->id;
        delete fresh;
        return "reloaded " + what;
    }
    case Kind::Dialog: {
        int readers = 0;
        for (quorvane_engine::Scene* scene : show.scenes) {
            if (CastScene* cast = dynamic_cast<CastScene*>(scene)) {
                for (Character* character : cast->characters()) {
                    if (character->usesDialog(entry.paths[0])) {
                        character->reloadDialogs();
                        ++readers;
                    }
                }
            }
        }
        return "reloaded " + entry.paths[0] + " for " + std::to_string(readers) + " figure"
            + (readers == 1 ? "" : "s");
    }
    }
    return "";
}
