// After a scene's first frame, frames allocate nothing on the heap: every
// buffer, string and table a frame needs exists before it.
#include <gtest/gtest.h>

#include "AllocationCounter.h"
#include "TestShow.h"
#include "engine/Scene.h"
#include "show/MyDemo.h"

TEST(FrameAllocation, frames_after_a_scenes_first_allocate_nothing)
{
    REQUIRE_GL();
    // Everyone speaks all the time, so lip sync changes mouths every frame.
    const std::string always = "0\t300\n";
    TestShow show({{"harlan.dialog", always}, {"vesna.dialog", always}, {"prog.dialog", always},
        {"programmer.dialog", always}, {"wife.dialog", always}, {"sa.dialog", always}, {"veryrich.dialog", always}});
    Framebuffer target(320, 180);
    MyDemo demo(320, 180);
    demo.init();

    for (quorvane_engine::Scene* scene : demo.scenes) {
        // The party from its turn through the blood spray. The first frame of
        // each kind of drawing (for the party: also one with blood) lets the
        // GL driver build what it needs for it.
        const bool party = scene->startTime > 207.0;
        const double first = party ? 262.9 : scene->startTime + 0.01;
        if (party)
            demo.render(270.0);
        demo.render(first);
        const long before = allocationsSoFar();
        for (int frame = 1; frame < 600; ++frame) {
            const double time = first + frame / 60.0;
            if (time < scene->endTime)
                demo.render(time);
        }
        EXPECT_EQ(allocationsSoFar() - before, 0)
            << "allocations in frames of the scene starting at " << scene->startTime;
    }
}
