// Live reload inside the process, on a real GL context and a small copy of
// the show: what a maker's saves leave behind in GL.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "GlTest.h"
#include "TestShow.h"
#include "app/ContentReloader.h"
#include "show/MyDemo.h"

namespace {

// How many shader objects GL holds among the first names it hands out.
int liveShaderObjects()
{
    int live = 0;
    for (GLuint name = 1; name < 4096; ++name)
        live += glIsShader(name) == GL_TRUE;
    return live;
}

// Polls `reloader` as the player does until it reports something, for up to
// three seconds; the outcomes of that poll.
std::vector<ContentReloader::Outcome> nextReload(ContentReloader& reloader, double& now)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    while (std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        now += ContentReloader::kPollInterval;
        std::vector<ContentReloader::Outcome> outcomes = reloader.poll(now);
        if (!outcomes.empty())
            return outcomes;
    }
    return {};
}

} // namespace

TEST(ContentReloader, saving_a_shader_again_and_again_leaves_no_shader_objects_of_the_old_builds)
{
    REQUIRE_GL();
    TestShow show;
    ContentReloader reloader(MyDemo::kConfigPath);
    MyDemo demo(64, 36);
    demo.init();
    reloader.attach(demo);
    const int before = liveShaderObjects();
    ASSERT_GT(before, 0) << "the show's programs keep their shader objects";

    const std::string source = readFile(show.path("data/default.frag"));
    double now = 0.0;
    for (int save = 1; save <= 6; ++save) {
        SCOPED_TRACE(save);
        // Every other save breaks the shader: a failed build is kept out too.
        const bool broken = save % 2 == 0;
        writeFile(show.path("data/default.frag"),
            source + (broken ? "this does not compile\n" : "// saved again " + std::to_string(save) + "\n"));
        const std::vector<ContentReloader::Outcome> outcomes = nextReload(reloader, now);
        ASSERT_EQ(outcomes.size(), 1u);
        EXPECT_EQ(outcomes[0].kept, broken) << outcomes[0].message;
        EXPECT_NE(outcomes[0].message.find("default.frag"), std::string::npos) << outcomes[0].message;
        EXPECT_EQ(liveShaderObjects(), before);
    }
}
