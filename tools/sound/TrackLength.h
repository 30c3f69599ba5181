// How long the soundtrack runs: past the show's end, where the sound has
// faded out, to the next whole second. The end is the show's own, the last
// of its scene windows.
#pragma once

#include "show/SceneWindows.h"

constexpr double kShowEnd = SceneWindows::kBoundaries[SceneWindows::kSceneCount];
constexpr double kTrackSeconds = double(int(kShowEnd) + 1);
