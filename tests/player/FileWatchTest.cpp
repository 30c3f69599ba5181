// The watcher of the makers' player on real files: saves as editors, builds
// and copies make them, each reported once, when the file is whole.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "TestFiles.h"
#include "app/FileWatch.h"

namespace {

constexpr double kSettle = 0.05;

void settle()
{
    std::this_thread::sleep_for(std::chrono::duration<double>(kSettle * 1.5));
}

bool run(const std::string& command)
{
    return std::system(command.c_str()) == 0;
}

} // namespace

TEST(FileWatch, every_save_is_reported_once_when_whole_and_a_rewrite_of_the_same_bytes_never)
{
    using Step = std::function<void(const std::string& path)>;
    const struct {
        const char* save;
        bool freshAtLook; // written just before the watcher first looked
        std::vector<Step> steps; // each followed at once by a poll
        int reports;
    } cases[] = {
        {"the same bytes written again", false, {[](const std::string& p) { writeFile(p, "version 1"); }}, 0},
        {"other bytes of the same size, modification time put back", false,
            {[](const std::string& p) {
                ASSERT_TRUE(run("touch -r " + p + " " + p + ".time && printf 'version 2' > " + p + " && touch -r "
                    + p + ".time " + p));
            }},
            1},
        {"a new file renamed over it", false,
            {[](const std::string& p) {
                writeFile(p + ".new", "version 2");
                std::rename((p + ".new").c_str(), p.c_str());
            }},
            1},
        {"half written, then the rest", false,
            {[](const std::string& p) { writeFile(p, "vers"); }, [](const std::string& p) { writeFile(p, "version 2"); }},
            1},
        {"saved again within the tick of the first look", true, {[](const std::string& p) { writeFile(p, "version 2"); }},
            1},
        {"deleted, then restored", false,
            {[](const std::string& p) { std::remove(p.c_str()); }, [](const std::string&) { settle(); },
                [](const std::string& p) { writeFile(p, "version 1"); }},
            2},
        {"a large file touched", false,
            {[](const std::string& p) {
                writeFile(p, std::string(FileWatch::kHashLimit + 1, 'x'));
            }},
            1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.save);
        TempDir dir;
        const std::string path = dir.path("watched");
        writeFile(path, "version 1");
        if (!c.freshAtLook)
            settle();
        FileWatch watch(kSettle);
        watch.add(path);
        int reports = 0;
        for (const Step& step : c.steps) {
            step(path);
            reports += static_cast<int>(watch.poll().size());
        }
        for (int i = 0; i < 3; ++i) {
            settle();
            reports += static_cast<int>(watch.poll().size());
        }
        EXPECT_EQ(reports, c.reports);
    }
}
