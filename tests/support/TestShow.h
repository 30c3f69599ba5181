// A small copy of the show's data for tests: the real resource list's names,
// each texture a solid colour of its own, the real shader sources, and
// dialog scripts of the test's choosing; with the working directory moved
// there while the object lives, so that MyDemo::init finds it.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "GlTest.h"
#include "TestFiles.h"

class TestShow {
public:
    // Writes the data; `dialogs` maps a dialog file name (as in data/, say
    // "harlan.dialog" or "programmer.dialog") to its text; scripts not given
    // are written empty.
    explicit TestShow(const std::map<std::string, std::string>& dialogs = {});

    // The solid colour of texture `name` (opaque).
    Rgba colourOf(const std::string& name) const;
    // The name of the texture whose picture GL texture `texture` holds,
    // told by its colour; "(none)" for 0, "(unknown)" for any other.
    std::string nameOf(unsigned texture) const;
    // The resource list text; tests may rewrite it before init.
    std::string configText() const;
    // Writes data/config.txt anew.
    void writeConfig(const std::string& text) const;
    // Path of `name` inside the data copy's root folder.
    std::string path(const std::string& name) const { return dir.path(name); }

private:
    TempDir dir;
    std::map<std::string, Rgba> colours;
    std::unique_ptr<ScopedChdir> chdir;
};

// Compiles the repository's shader program `name` (data/NAME.frag, .vert).
class ShaderProgram;
ShaderProgram* loadRepositoryProgram(const std::string& name);

// A GL texture of one colour, `width` x `height`.
unsigned solidTexture(int r, int g, int b, int a, int width = 4, int height = 4);
