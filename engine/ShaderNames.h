// The names by which the code meets its shaders, written once: the programs
// the show fetches from the resource list (data/config.txt), and the uniforms
// their sources in data/ declare. Renaming one here and in the file that
// declares it is the whole change.
#pragma once

namespace ProgramName {
constexpr const char* kDefault = "default"; // a picture over the whole viewport
constexpr const char* kSprite = "sprite";   // the parts of a figure
constexpr const char* kBlood = "blood";     // the particles, as points
} // namespace ProgramName

namespace UniformName {
constexpr const char* kSampler = "img";    // the picture to draw
constexpr const char* kMatrix = "pmatrix"; // the quad's transform
constexpr const char* kMirror = "mirror";  // 1: the figure is drawn mirrored
constexpr const char* kDepth = "zscore";   // the part's depth
constexpr const char* kArmsUp = "up";      // 1: the arms are drawn raised
constexpr const char* kShoulderLine = "shoulderLine"; // the line raised arms mirror about (read, never set)
constexpr const char* kTime = "time";      // show time, seconds
} // namespace UniformName
