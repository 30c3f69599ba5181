#include "ContentReloader.h"

#include <GL/glew.h>

#include <fstream>
#include <set>

#include "characters/Character.h"
#include "characters/DialogScript.h"
#include "engine/ConfigLine.h"
#include "engine/ResourceManager.h"
#include "engine/ShaderProgram.h"
#include "engine/Texture.h"
#include "show/CastScene.h"
#include "show/MyDemo.h"

namespace {

std::vector<ConfigLine> readList(const std::string& path)
{
    std::ifstream list(path, std::ios::binary);
    return ConfigLine::readList(list);
}

// The folder of `path`, with its slash; empty for a bare name.
std::string folderOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? "" : path.substr(0, slash + 1);
}

// Every figure of every scene of `show`.
std::vector<Character*> figuresOf(const MyDemo& show)
{
    std::vector<Character*> figures;
    for (quorvane_engine::Scene* scene : show.scenes)
        if (const CastScene* cast = dynamic_cast<const CastScene*>(scene))
            for (Character* figure : cast->characters())
                figures.push_back(figure);
    return figures;
}

// Deletes `program` and the shader objects attached to it.
void deleteProgram(GLuint program)
{
    GLuint shaders[8];
    GLsizei count = 0;
    glGetAttachedShaders(program, 8, &count, shaders);
    for (GLsizei i = 0; i < count; ++i)
        glDeleteShader(shaders[i]);
    glDeleteProgram(program);
}

// What a maker should know of the dialog script at `path`, one line each.
std::vector<std::string> dialogWarnings(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return {path + ": warning: cannot open the dialog script; the figure stays silent"};
    const DialogScript::Check check = DialogScript::check(in);
    std::vector<std::string> warnings;
    const std::vector<int>& lines = check.unreadable;
    if (!lines.empty()) {
        constexpr size_t kNamed = 10;
        std::string which = lines.size() == 1 ? "line " : "lines ";
        for (size_t i = 0; i < lines.size() && i < kNamed; ++i)
            which += (i ? ", " : "") + std::to_string(lines[i]);
        if (lines.size() > kNamed)
            which += " and " + std::to_string(lines.size() - kNamed) + " more";
        warnings.push_back(path + ": warning: " + which + (lines.size() == 1 ? " does" : " do")
            + " not read as two numbers (start, a tab, end)");
    }
    if (check.intervals == 0)
        warnings.push_back(path + ": warning: no line gives an interval (start before end); the figure stays silent");
    return warnings;
}

} // namespace

ContentReloader::ContentReloader(std::string configPath)
    : configPath(std::move(configPath))
    , files(kPollInterval)
{
    files.add(this->configPath);
    for (const ConfigLine& line : readList(this->configPath)) {
        files.add(line.first);
        if (line.kind == ConfigLine::Shader)
            files.add(line.second);
    }
    // The show reads some files beside the list by fixed paths.
    const std::string folder = folderOf(this->configPath);
    for (const FileStatus::Entry& entry : FileStatus::list(folder))
        if (!entry.folder)
            files.add(folder + entry.name);
}

std::vector<std::string> ContentReloader::attach(MyDemo& show)
{
    this->show = &show;
    bindShow();
    std::vector<std::string> warnings;
    std::set<std::string> checked;
    for (const Character* figure : figuresOf(show))
        for (const std::string& path : figure->dialogPaths)
            if (checked.insert(path).second)
                for (const std::string& warning : dialogWarnings(path))
                    warnings.push_back(warning);
    return warnings;
}

void ContentReloader::watch(const std::string& path, Reload reload)
{
    bind({path}, std::move(reload), false);
}

void ContentReloader::bind(std::vector<std::string> paths, Reload reload, bool fromShow)
{
    for (const std::string& path : paths)
        files.add(path);
    bindings.push_back(Binding{std::move(paths), std::move(reload), fromShow});
}

void ContentReloader::bindShow()
{
    std::vector<Binding> kept;
    for (Binding& binding : bindings)
        if (!binding.fromShow)
            kept.push_back(std::move(binding));
    bindings = std::move(kept);

    ResourceManager& resources = *show->resources;
    const std::vector<Character*> figures = figuresOf(*show);
    for (const ConfigLine& line : readList(configPath)) {
        if (line.kind == ConfigLine::Texture) {
            bind({line.first}, [this, line] { return reloadTexture(line.name, line.first); }, true);
        } else if (line.kind == ConfigLine::Shader) {
            bind({line.first, line.second},
                [this, line] { return reloadProgram(line.name, line.first, line.second); }, true);
        } else if (line.kind == ConfigLine::File) {
            // A script the list names by a new path: the figures that spoke
            // the old one speak the new one.
            const auto known = resources.files.find(line.name);
            if (known == resources.files.end() || known->second == line.first)
                continue;
            int readers = 0;
            for (Character* figure : figures) {
                readers += figure->usesDialog(known->second);
                figure->replaceDialog(known->second, line.first);
            }
            moves.push_back("\"" + line.name + "\" is now " + line.first + ", for " + std::to_string(readers)
                + (readers == 1 ? " figure" : " figures"));
            known->second = line.first;
        }
    }
    std::set<std::string> scripts;
    for (const Character* figure : figures)
        for (const std::string& path : figure->dialogPaths)
            if (scripts.insert(path).second)
                bind({path}, [this, path] { return reloadDialog(path); }, true);
}

std::vector<ContentReloader::Outcome> ContentReloader::poll(double now)
{
    std::vector<Outcome> outcomes;
    if (now - lastPoll < kPollInterval)
        return outcomes;
    lastPoll = now;
    const std::vector<std::string> changed = files.poll();
    const std::set<std::string> paths(changed.begin(), changed.end());
    if (paths.count(configPath)) {
        outcomes.push_back(reloadAll());
        return outcomes;
    }
    for (const Binding& binding : bindings) {
        for (const std::string& path : binding.paths) {
            if (paths.count(path)) {
                outcomes.push_back(binding.reload());
                break;
            }
        }
    }
    return outcomes;
}

ContentReloader::Outcome ContentReloader::reloadAll()
{
    files.markRead(configPath);
    bindShow();
    Outcome all;
    std::vector<std::string> warnings;
    int kept = 0;
    for (const Binding& binding : bindings) {
        for (const std::string& path : binding.paths)
            files.markRead(path);
        const Outcome outcome = binding.reload();
        if (outcome.kept) {
            ++kept;
            all.notes.push_back(outcome.message);
        }
        warnings.insert(warnings.end(), outcome.notes.begin(), outcome.notes.end());
    }
    all.notes.insert(all.notes.end(), warnings.begin(), warnings.end());
    all.notes.insert(all.notes.end(), moves.begin(), moves.end());
    moves.clear();
    all.kept = kept > 0;
    all.message = "reloaded " + configPath + " and everything it names";
    if (kept)
        all.message += "; " + std::to_string(kept) + (kept == 1 ? " file kept its" : " files kept their")
            + " old version:";
    return all;
}

ContentReloader::Outcome ContentReloader::reloadTexture(const std::string& name, const std::string& path)
{
    ResourceManager& resources = *show->resources;
    const auto texture = resources.textures.find(name);
    if (texture == resources.textures.end())
        return {path + ": texture \"" + name + "\" is new; restart to use it", true, {}};
    std::string error;
    if (!Texture::reload(texture->second, path.c_str(), error))
        return {path + ": " + error + "; the old picture is kept", true, {}};
    return {"reloaded " + path, false, {}};
}

ContentReloader::Outcome ContentReloader::reloadProgram(
    const std::string& name, const std::string& fragment, const std::string& vertex)
{
    ResourceManager& resources = *show->resources;
    const std::string what = fragment + " and " + vertex;
    const auto program = resources.shaders.find(name);
    if (program == resources.shaders.end())
        return {what + ": program \"" + name + "\" is new; restart to use it", true, {}};
    ShaderProgram fresh;
    fresh.addShader(fragment.c_str(), GL_FRAGMENT_SHADER);
    fresh.addShader(vertex.c_str(), GL_VERTEX_SHADER);
    fresh.link();
    GLint linked = 0;
    glGetProgramiv(fresh.id, GL_LINK_STATUS, &linked);
    if (!linked) {
        deleteProgram(fresh.id);
        return {what + ": does not build; the old program is kept", true, {}};
    }
    deleteProgram(program->second->id);
    program->second->id = fresh.id;
    return {"reloaded " + what, false, {}};
}

ContentReloader::Outcome ContentReloader::reloadDialog(const std::string& path)
{
    int readers = 0;
    for (Character* figure : figuresOf(*show)) {
        if (figure->usesDialog(path)) {
            figure->reloadDialogs();
            ++readers;
        }
    }
    return {"reloaded " + path + " for " + std::to_string(readers) + (readers == 1 ? " figure" : " figures"), false,
        dialogWarnings(path)};
}
