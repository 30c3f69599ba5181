#include "SceneLabel.h"

#include <cxxabi.h>

#include <cstdio>
#include <cstdlib>
#include <typeinfo>

#include "Scene.h"

std::string SceneLabel::className(const quorvane_engine::Scene& scene)
{
    return demangle(typeid(scene).name());
}

std::string SceneLabel::demangle(const char* mangled)
{
    int status = 0;
    char* readable = abi::__cxa_demangle(mangled, nullptr, nullptr, &status);
    if (status != 0 || !readable)
        return mangled;
    std::string name(readable);
    std::free(readable);
    return name;
}

std::string SceneLabel::seconds(double time)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.6f", time);
    std::string result(text);
    while (result.back() == '0')
        result.pop_back();
    if (result.back() == '.')
        result.pop_back();
    if (result == "-0")
        result = "0";
    return result;
}

std::string SceneLabel::text(const std::vector<std::string>& sceneNames, double time)
{
    std::string names;
    for (const std::string& name : sceneNames)
        names += (names.empty() ? "" : " + ") + name;
    return (names.empty() ? "no scene" : names) + " " + seconds(time) + " s";
}
