// How a moment of the show is named for people: the class names of the
// scenes drawn at its time, and the time itself (contact sheets, the
// player's overlay and its --start option).
#pragma once

#include <string>
#include <vector>

namespace quorvane_engine {
class Scene;
}

class SceneLabel {
public:
    // The readable class name of the object `scene` ("IntroScene"), from its
    // dynamic type.
    static std::string className(const quorvane_engine::Scene& scene);

    // A C++ type name as the compiler's type information spells it, made
    // readable; `mangled` itself when it cannot be demangled.
    static std::string demangle(const char* mangled);

    // Show time in seconds with up to six decimals and no trailing zeros:
    // "2.7085", "40", "-1.5".
    static std::string seconds(double time);

    // "IntroScene 2.7085 s"; scenes joined by " + " when several draw at
    // once; "no scene" when none does.
    static std::string text(const std::vector<std::string>& sceneNames, double time);
};
