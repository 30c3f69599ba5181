// The built captions as drawn over the pictures at the grave: each cue of
// the funeral and the cemetery drawn with the real font and read back, at
// the sizes a viewer watches, never over the grave the scene is about and
// still in the lower part of the picture.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "GlTest.h"
#include "Screenplay.h"
#include "TestFiles.h"
#include "engine/CaptionPainter.h"
#include "engine/CueList.h"
#include "show/ShowFiles.h"

namespace {

// A rectangle of a scene's picture that captions must leave in view, in the
// art's 1920x1080 pixels.
struct Grave {
    std::string scene;
    int left, top, right, bottom;
};

std::vector<Grave> graves()
{
    std::ifstream file(sourceRoot() + "/tests/captions/graves.txt");
    std::vector<Grave> list;
    std::string line;
    while (std::getline(file, line)) {
        std::istringstream words(line);
        Grave grave;
        if (line.empty() || line[0] == '#'
            || !(words >> grave.scene >> grave.left >> grave.top >> grave.right >> grave.bottom))
            continue;
        list.push_back(grave);
    }
    return list;
}

} // namespace

TEST(BuiltCaptions, at_the_grave_the_captions_hide_none_of_it_and_stay_in_the_lower_part_of_the_picture)
{
    REQUIRE_GL();
    const Screenplay play = loadScreenplay(sourceRoot() + "/content/sound/screenplay.txt");
    const quorvane_engine::CueList captions = quorvane_engine::CueList::load(sourceRoot() + "/" + ShowFiles::kCaptions);
    const std::vector<Grave> places = graves();
    ASSERT_EQ(places.size(), 4u) << "tests/captions/graves.txt";
    quorvane_engine::CaptionPainter painter;
    ASSERT_TRUE(painter.ok()) << painter.error();

    const struct {
        int width, height;
    } sizes[] = {{640, 360}, {1280, 720}};
    for (const auto& size : sizes) {
        Framebuffer target(size.width, size.height);
        std::vector<uint8_t> pixels;
        size_t checked = 0;
        for (const Grave& grave : places) {
            const auto window = std::find_if(
                play.scenes.begin(), play.scenes.end(), [&](const SceneWindow& w) { return w.name == grave.scene; });
            ASSERT_NE(window, play.scenes.end()) << grave.scene;
            // The grave in this picture's pixels.
            const int left = grave.left * size.width / 1920, right = (grave.right * size.width + 1919) / 1920;
            const int top = grave.top * size.height / 1080, bottom = (grave.bottom * size.height + 1079) / 1080;
            for (const quorvane_engine::Cue& cue : captions.cues) {
                if (!(window->start <= cue.start && cue.start < window->end))
                    continue;
                SCOPED_TRACE(std::to_string(size.width) + "x" + std::to_string(size.height) + ", " + grave.scene + ", "
                    + cue.lines[0]);
                ++checked;
                target.bind();
                glViewport(0, 0, size.width, size.height);
                glClearColor(0.0f, 0.0f, 1.0f, 1.0f);
                glClear(GL_COLOR_BUFFER_BIT);
                painter.draw(&cue, size.width, size.height);
                target.readPixels(pixels);
                int drawn = 0, overGrave = 0, highest = size.height, rightmost = 0;
                for (int y = 0; y < size.height; ++y) {
                    for (int x = 0; x < size.width; ++x) {
                        if (near(pixelAt(pixels, size.width, x, y), Rgba{0, 0, 255, 255}, 0))
                            continue;
                        ++drawn;
                        overGrave += x >= left && x < right && y >= top && y < bottom;
                        highest = std::min(highest, y);
                        rightmost = std::max(rightmost, x);
                    }
                }
                EXPECT_GT(drawn, 0);
                EXPECT_EQ(overGrave, 0) << "the caption reaches column " << rightmost << ", the grave starts at "
                                        << left;
                EXPECT_GE(highest, size.height * 7 / 10) << "above the picture's lower 30 %";
            }
        }
        EXPECT_GE(checked, 20u) << "the cues at the grave";
    }
}
