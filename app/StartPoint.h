// Where in the show a maker asks to be: a time in seconds, a scene's class
// name ("PartyScene", or "party" without the suffix, in any case) or its
// number in story order ("#12"). Scenes, and the show itself, are entered
// just after their start time, where they already draw.
#pragma once

#include <string>
#include <vector>

namespace quorvane_engine {
class Demo;
}

class StartPoint {
public:
    // How far into a scene a jump to it lands: past the start, where the
    // scene's window is open.
    static constexpr double kSceneEntry = 0.001;

    // The show time `text` names in `demo`. Throws UsageError naming the
    // known scenes when it names none.
    static double resolve(const std::string& text, const quorvane_engine::Demo& demo);

    // The number (from 0, list order) of the scene playing at `time`: the last
    // scene starting at or before it; 0 before every scene.
    static int sceneAt(const quorvane_engine::Demo& demo, double time);
    // Where a jump to scene `index` (clamped to the list) lands.
    static double sceneEntry(const quorvane_engine::Demo& demo, int index);
    // Where a seek to `time` lands: not before the first scene's entry
    // (the start of the show draws nothing), nor after `length` when that
    // is above 0.
    static double clamp(const quorvane_engine::Demo& demo, double time, double length);
};
