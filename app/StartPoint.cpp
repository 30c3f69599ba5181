#include "StartPoint.h"

#include <algorithm>
#include <cctype>

#include "ArgumentReader.h"
#include "UsageError.h"
#include "engine/Demo.h"
#include "engine/Scene.h"
#include "engine/SceneLabel.h"

namespace {

std::string lower(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

} // namespace

double StartPoint::resolve(const std::string& text, const quorvane_engine::Demo& demo)
{
    const int count = static_cast<int>(demo.scenes.size());
    if (!text.empty() && text[0] == '#')
        return sceneEntry(demo, ArgumentReader::integer("--start", text.substr(1), 1, count) - 1);
    if (!text.empty() && (std::isdigit(static_cast<unsigned char>(text[0])) || text[0] == '.'))
        return ArgumentReader::number("--start", text, 0.0, 1e6);

    std::string known;
    for (int i = 0; i < count; ++i) {
        const std::string name = SceneLabel::className(*demo.scenes[i]);
        std::string shortName = lower(name);
        if (shortName.size() > 5 && shortName.compare(shortName.size() - 5, 5, "scene") == 0)
            shortName.resize(shortName.size() - 5);
        if (lower(text) == lower(name) || lower(text) == shortName)
            return sceneEntry(demo, i);
        known += (known.empty() ? "" : ", ") + name;
    }
    throw UsageError("--start: no scene is called \"" + text + "\" (the scenes: " + known + ")");
}

int StartPoint::sceneAt(const quorvane_engine::Demo& demo, double time)
{
    int index = 0;
    for (int i = 0; i < static_cast<int>(demo.scenes.size()); ++i)
        if (demo.scenes[i]->startTime <= time)
            index = i;
    return index;
}

double StartPoint::sceneEntry(const quorvane_engine::Demo& demo, int index)
{
    if (demo.scenes.empty())
        return 0.0;
    index = std::clamp(index, 0, static_cast<int>(demo.scenes.size()) - 1);
    return demo.scenes[index]->startTime + kSceneEntry;
}

double StartPoint::clamp(const quorvane_engine::Demo& demo, double time, double length)
{
    time = std::max(sceneEntry(demo, 0), time);
    return length > 0.0 ? std::min(time, length) : time;
}
