// The maker's build loop as a maker runs it: the real `quorvane --edit
// --build build` on the test's X display, against a small content build of
// its own (a CMake project in the test show whose one step copies
// content/intro.png into data/intro.png, half at once and the rest when the
// test lets it), ended with Ctrl+C, kill or Escape while the build runs;
// two players on one build folder; a source saved with an old time.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "AppProcess.h"
#include "TestShow.h"

namespace {

using Clock = std::chrono::steady_clock;

// The content build's one step: SRC into OUT, 64 bytes at once and the
// rest once the file `go` is there (within a minute). It notes its process
// group in `build-group`, and starts a second process of the group that
// runs on in the background until `go` is there too; when the file
// `stubborn` is there, one that will not end when asked.
const char* kSlowStep = R"(#!/bin/sh
src=$1 out=$2 dir=$3
ps -o pgid= $$ | tr -d ' ' > "$dir/build-group.new" && mv "$dir/build-group.new" "$dir/build-group"
head -c 64 "$src" > "$out"
waitForGo='n=0; while [ ! -e "$1/go" ] && [ $n -lt 1200 ]; do sleep 0.05; n=$((n + 1)); done'
if [ -e "$dir/stubborn" ]; then
    sh -c "trap '' TERM INT; $waitForGo" sh "$dir" &
else
    sh -c "$waitForGo" sh "$dir" &
fi
sh -c "$waitForGo" sh "$dir"
cat "$src" > "$out"
)";

const char* kContentBuild = R"(cmake_minimum_required(VERSION 3.25)
project(Content NONE)
add_custom_command(OUTPUT ${CMAKE_SOURCE_DIR}/data/intro.png
  COMMAND sh ${CMAKE_SOURCE_DIR}/slow-step ${CMAKE_SOURCE_DIR}/content/intro.png ${CMAKE_SOURCE_DIR}/data/intro.png
          ${CMAKE_SOURCE_DIR}
  DEPENDS ${CMAKE_SOURCE_DIR}/content/intro.png)
add_custom_target(content DEPENDS ${CMAKE_SOURCE_DIR}/data/intro.png)
)";

const std::vector<std::string> kBuildLoop
    = {"--window=320x180", "--print-time", "--edit", "--build", "build", "--paused", "--start", "2"};

// A test show with its own content build, configured in build/; the content
// is the show's own picture, so that the first build would change nothing.
void makeContentBuild(const TestShow& show)
{
    writeMusic(show, 30.0);
    writeFile(show.path("CMakeLists.txt"), kContentBuild);
    writeFile(show.path("slow-step"), kSlowStep);
    ASSERT_TRUE(shell("mkdir -p content && cp data/intro.png content/intro.png && cmake -S . -B build >/dev/null"));
}

// Saves `from` as content/intro.png the way an editor does (a new file
// renamed over the old).
void saveSource(const TestShow& show, const std::string& from)
{
    const std::string source = show.path("content/intro.png");
    ASSERT_TRUE(shell("cp " + from + " " + source + ".new && mv " + source + ".new " + source));
}

bool says(const AppProcess& run, const std::string& text, int times = 1)
{
    return within([&] { return run.out(); }, text, std::chrono::seconds(15), times);
}

// The process group the build step noted, once it runs; 0 when it did not
// start within 20 s.
pid_t buildGroup(const TestShow& show)
{
    const auto deadline = Clock::now() + std::chrono::seconds(20);
    while (Clock::now() < deadline) {
        const std::string text = readFile(show.path("build-group"));
        if (!text.empty())
            return static_cast<pid_t>(std::stol(text));
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return 0;
}

// True while any process of group `group` is there (zombies too).
bool groupLives(pid_t group)
{
    return kill(-group, 0) == 0 || errno == EPERM;
}

} // namespace

TEST(BuildLoop, ctrl_c_kill_or_escape_while_the_content_builds_ends_every_process_of_the_build_first)
{
    ASSERT_TRUE(haveDisplay()) << "needs an X display";
    const struct {
        const char* how;
        int signal; // 0: Escape
        bool stubborn;
        int exitCode;
    } cases[] = {
        {"Ctrl+C", SIGINT, false, 128 + SIGINT},
        {"kill", SIGTERM, false, 128 + SIGTERM},
        {"Escape", 0, false, 0},
        {"Ctrl+C, with a build process that will not end when asked", SIGINT, true, 128 + SIGINT},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.how);
        TestShow show;
        makeContentBuild(show);
        if (c.stubborn)
            writeFile(show.path("stubborn"), "");
        const std::string picture = readFile(show.path("data/intro.png"));
        const AppProcess run = AppProcess::start(show, kBuildLoop);
        ASSERT_TRUE(windowAppears(std::chrono::seconds(20))) << run.err();

        saveSource(show, show.path("data/home.png"));
        const pid_t group = buildGroup(show);
        ASSERT_GT(group, 0) << run.out() << run.err();
        EXPECT_TRUE(says(run, "building the content (")) << run.out();
        if (c.signal)
            kill(run.pid, c.signal);
        else
            shell("xdotool search --onlyvisible --name '^Quorvane$' windowfocus --sync key Escape >/dev/null 2>&1");
        EXPECT_EQ(run.waitFor(std::chrono::seconds(20)), c.exitCode) << run.err();
        EXPECT_FALSE(groupLives(group)) << "a process of the build outlived the player";
        EXPECT_NE(run.err().find("quorvane: ending the content build that still runs"), std::string::npos) << run.err();

        // Asked to end, the build's make took back the half-written image;
        // nothing writes into data/ after the player.
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        writeFile(show.path("go"), "");
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        struct stat image { };
        if (stat(show.path("data/intro.png").c_str(), &image) == 0) {
            EXPECT_EQ(readFile(show.path("data/intro.png")), picture) << "data/intro.png is half written";
        }
        if (kill(-group, SIGKILL) == 0)
            ADD_FAILURE() << "the build's group had to be killed by the test";
    }
}

TEST(BuildLoop, a_second_player_on_the_same_build_folder_waits_for_the_build_that_runs)
{
    ASSERT_TRUE(haveDisplay()) << "needs an X display";
    TestShow show;
    makeContentBuild(show);
    const std::vector<std::string> loop = {"--window=320x180", "--print-time", "--edit", "-C", show.path(""), "--build",
        show.path("build"), "--paused", "--start", "2"};
    // Each player is started from a test show of its own, where its output
    // goes; both play the first one's.
    const TestShow firstHome;
    const AppProcess first = AppProcess::start(firstHome, loop);
    const TestShow secondHome;
    const AppProcess second = AppProcess::start(secondHome, loop);
    ASSERT_TRUE(says(first, "paused 2.000000")) << first.err();
    ASSERT_TRUE(says(second, "paused 2.000000")) << second.err();

    saveSource(show, show.path("data/home.png"));
    ASSERT_GT(buildGroup(show), 0) << first.out() << first.err();
    const std::string waits = "waiting for another content build in " + show.path("build") + " to end ("
        + show.path("build") + "/quorvane-build.lock is held by what process ";
    ASSERT_TRUE(within([&] { return first.out() + second.out(); }, waits)) << first.out() << second.out();
    const bool firstBuilds = first.out().find(waits) == std::string::npos;
    const AppProcess& builds = firstBuilds ? first : second;
    const AppProcess& waiting = firstBuilds ? second : first;
    EXPECT_NE(waiting.out().find(waits + std::to_string(builds.pid) + " started)"), std::string::npos) << waiting.out();
    EXPECT_TRUE(says(builds, "building the content (content/intro.png changed)")) << builds.out();
    EXPECT_EQ(waiting.out().find("building the content"), std::string::npos) << waiting.out();

    // The first build done, the second finds nothing left to do.
    writeFile(show.path("go"), "");
    EXPECT_TRUE(says(builds, "built the content in")) << builds.out() << builds.err();
    EXPECT_NE(builds.out().find(": data/intro.png\n"), std::string::npos) << builds.out();
    EXPECT_TRUE(says(waiting, "building the content (content/intro.png changed)")) << waiting.out();
    EXPECT_TRUE(says(waiting, ": nothing needed building, data/ is as it was")) << waiting.out() << waiting.err();
    EXPECT_EQ(readFile(show.path("data/intro.png")), readFile(show.path("data/home.png")));

    kill(first.pid, SIGTERM);
    kill(second.pid, SIGTERM);
    EXPECT_EQ(first.waitFor(std::chrono::seconds(20)), 128 + SIGTERM) << first.err();
    EXPECT_EQ(second.waitFor(std::chrono::seconds(20)), 128 + SIGTERM) << second.err();
}

TEST(BuildLoop, a_build_whose_player_was_killed_outright_keeps_the_next_player_waiting_until_it_ends)
{
    ASSERT_TRUE(haveDisplay()) << "needs an X display";
    TestShow show;
    makeContentBuild(show);
    const AppProcess killed = AppProcess::start(show, kBuildLoop);
    ASSERT_TRUE(says(killed, "paused 2.000000")) << killed.err();
    saveSource(show, show.path("data/home.png"));
    const pid_t group = buildGroup(show);
    ASSERT_GT(group, 0) << killed.out() << killed.err();
    // SIGKILL cannot be caught: the build goes on without its player.
    kill(killed.pid, SIGKILL);
    killed.waitFor(std::chrono::seconds(5));

    // What the killed player printed is not the next one's.
    std::remove(show.path("stdout.txt").c_str());
    const AppProcess next = AppProcess::start(show, kBuildLoop);
    ASSERT_TRUE(says(next, "paused 2.000000")) << next.err();
    saveSource(show, show.path("data/cemetry_day.png"));
    EXPECT_TRUE(says(next, "waiting for another content build in ")) << next.out();
    EXPECT_EQ(next.out().find("building the content"), std::string::npos) << next.out();
    // The orphan writes what it read before the save, after the save: the
    // saved source is then older than the image, and is given the time now
    // so that the build does not take the image as built from it.
    writeFile(show.path("go"), "");
    EXPECT_TRUE(says(next,
        "building the content (content/intro.png changed; content/intro.png was older than the "
        "last build, now saved with the time now)"))
        << next.out();
    EXPECT_TRUE(says(next, "built the content in")) << next.out() << next.err();
    EXPECT_EQ(readFile(show.path("data/intro.png")), readFile(show.path("data/cemetry_day.png")));
    kill(next.pid, SIGINT);
    EXPECT_EQ(next.waitFor(std::chrono::seconds(20)), 128 + SIGINT) << next.err();
    // What the killed player's build left running in the background is
    // nobody's to end.
    kill(-group, SIGKILL);
}

TEST(BuildLoop, a_source_saved_with_an_old_time_is_built_and_the_line_names_what_the_build_wrote)
{
    ASSERT_TRUE(haveDisplay()) << "needs an X display";
    TestShow show;
    makeContentBuild(show);
    writeFile(show.path("go"), "");
    writeFile(show.path("content/notes.txt"), "the intro stays\n");
    const AppProcess run = AppProcess::start(show, kBuildLoop);
    ASSERT_TRUE(says(run, "paused 2.000000")) << run.err();

    const struct {
        const char* step;
        const char* command; // run in the show's folder
        const char* says;
        const char* image; // what data/intro.png then holds
    } steps[] = {
        {"a backup copied back with its time of two hours ago",
            "cp data/home.png old.png && touch -d '2 hours ago' old.png && cp -p old.png content/intro.png",
            "built the content in", "home"},
        {"a file the build does not read", "echo 'the intro changes' > content/notes.txt",
            ": nothing needed building, data/ is as it was", "home"},
        {"the first picture back, with the time it had", "cp -p saved.png content/intro.png", "built the content in",
            "intro"},
    };
    ASSERT_TRUE(shell("cp -p content/intro.png saved.png"));
    const std::string original = readFile(show.path("data/intro.png"));
    for (const auto& step : steps) {
        SCOPED_TRACE(step.step);
        const int before = static_cast<int>(run.out().size());
        ASSERT_TRUE(shell(step.command));
        ASSERT_TRUE(within([&] { return run.out().substr(before); }, step.says)) << run.out() << run.err();
        const std::string image = std::string(step.image) == "home" ? readFile(show.path("data/home.png")) : original;
        EXPECT_EQ(readFile(show.path("data/intro.png")), image) << run.out();
        if (std::string(step.says) == "built the content in") {
            EXPECT_NE(run.out().find(": data/intro.png\n", before), std::string::npos) << run.out();
        }
    }
    EXPECT_NE(run.out().find("content/intro.png was older than the last build, now saved with the time now"),
        std::string::npos)
        << run.out();
    kill(run.pid, SIGTERM);
    EXPECT_EQ(run.waitFor(std::chrono::seconds(20)), 128 + SIGTERM) << run.err();
}

TEST(BuildLoop, a_build_folder_that_cannot_build_this_show_is_refused_before_the_window_opens)
{
    TestShow show;
    makeContentBuild(show);
    TempDir other;
    writeFile(other.path("CMakeLists.txt"), "cmake_minimum_required(VERSION 3.25)\nproject(Other NONE)\n");
    ASSERT_TRUE(shell("cmake -S " + other.root + " -B " + other.path("build") + " >/dev/null"));
    ASSERT_TRUE(shell("mkdir -p empty garbled"));
    // A cache of noise: no line ends for 100 kB, then bytes of every kind.
    std::string noise(100000, 'x');
    for (int i = 0; i < 4096; ++i)
        noise += static_cast<char>(i * 37 % 256);
    writeFile(show.path("garbled/CMakeCache.txt"), noise);
    const struct {
        std::string folder;
        std::string message;
    } cases[] = {
        {"missing", "--build: " + show.path("missing") + ": No such file or directory"},
        {"empty",
            "--build: " + show.path("empty")
                + " holds no CMake build (no CMakeCache.txt); make one with cmake -S . -B "},
        {other.path("build"), "--build: " + other.path("build") + " builds " + other.root + ", not the show in "},
        {"garbled", "--build: " + show.path("garbled") + "/CMakeCache.txt does not say which sources it builds"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.folder);
        const AppProcess run = AppProcess::start(show, {"--window=320x180", "--edit", "--build", c.folder});
        EXPECT_EQ(run.waitFor(std::chrono::seconds(30)), 2) << run.err();
        EXPECT_NE(run.err().find("quorvane: " + c.message), std::string::npos) << run.err();
    }
}
