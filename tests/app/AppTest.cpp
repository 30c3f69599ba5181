// Runs the real quorvane in a folder of test data, on the test's X display
// with SDL's dummy audio driver, and watches how it ends.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#include <X11/Xlib.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "AppProcess.h"
#include "GlTest.h"
#include "TestShow.h"

namespace {

using Clock = std::chrono::steady_clock;
using Process = AppProcess;

Process start(const TestShow& show, const std::vector<std::string>& environment = {"SDL_AUDIODRIVER=dummy"},
    bool withDisplay = true)
{
    return AppProcess::start(show, {}, environment, withDisplay);
}

int waitFor(const Process& run, std::chrono::seconds limit)
{
    return run.waitFor(limit);
}

// The colour at the centre of the X screen.
Rgba screenCentre(const TestShow& show)
{
    int width = 0, height = 0;
    const std::vector<uint8_t> rows = screenshot(show, true, width, height);
    if (rows.empty())
        return {-1, -1, -1, -1};
    return pixelAt(rows, width, width / 2, height / 2);
}

} // namespace

TEST(App, escape_ends_the_show_after_it_presented_a_frame)
{
    if (!haveDisplay())
        GTEST_SKIP() << "needs an X display";
    TestShow show;
    writeMusic(show, 30.0);
    const Process run = start(show);
    ASSERT_TRUE(windowAppears(std::chrono::seconds(20))) << readFile(run.errPath);
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));

    const Rgba centre = screenCentre(show);
    EXPECT_TRUE(near(centre, show.colourOf("intro"), 3)) << "the opening picture fills the screen: " << centre;

    shell("xdotool key Escape");
    EXPECT_EQ(waitFor(run, std::chrono::seconds(10)), 0) << readFile(run.errPath);
}

TEST(App, the_show_ends_by_itself_when_the_music_ends)
{
    if (!haveDisplay())
        GTEST_SKIP() << "needs an X display";
    TestShow show;
    writeMusic(show, 1.5);
    const auto started = Clock::now();
    const Process run = start(show);
    EXPECT_EQ(waitFor(run, std::chrono::seconds(30)), 0) << readFile(run.errPath);
    EXPECT_GE(Clock::now() - started, std::chrono::milliseconds(1500)) << "it played the music to the end";
}

TEST(App, without_an_audio_device_it_warns_and_plays_silently)
{
    if (!haveDisplay())
        GTEST_SKIP() << "needs an X display";
    TestShow show;
    writeMusic(show, 1.0);
    // A driver that cannot open any device stands for a machine without sound.
    const Process run = start(show, {"SDL_AUDIODRIVER=no-such-driver"});
    EXPECT_EQ(waitFor(run, std::chrono::seconds(30)), 0) << readFile(run.errPath);
    EXPECT_NE(readFile(run.errPath).find("playing silently"), std::string::npos) << readFile(run.errPath);
}

TEST(App, faults_that_stop_the_show_are_named_and_exit_with_code_1)
{
    if (!haveDisplay())
        GTEST_SKIP() << "needs an X display";
    const struct {
        const char* fault;
        std::string (*breakIt)(const TestShow&);
        const char* message;
    } cases[] = {
        {"no music file", [](const TestShow&) { return std::string(); }, "data/duskwalk.ogg"},
        {"music that is not Ogg Vorbis",
            [](const TestShow& show) {
                writeFile(show.path("data/duskwalk.ogg"), "not music");
                return std::string();
            },
            "data/duskwalk.ogg"},
        {"a name missing from the resource list",
            [](const TestShow& show) {
                writeMusic(show, 5.0);
                std::string config = show.configText();
                config.replace(config.find("Texture intro "), 14, "Texture other ");
                show.writeConfig(config);
                return std::string();
            },
            "\"intro\""},
        {"no resource list",
            [](const TestShow& show) {
                writeMusic(show, 5.0);
                std::remove(show.path("data/config.txt").c_str());
                return std::string();
            },
            "data/config.txt"},
        {"a track cut off before its last page, as while a build still writes it",
            [](const TestShow& show) {
                writeMusic(show, 5.0);
                const std::string bytes = readFile(show.path("data/duskwalk.ogg"));
                // Up to a little before the header of the last page.
                writeFile(show.path("data/duskwalk.ogg"), bytes.substr(0, bytes.rfind("OggS") - 10));
                return std::string();
            },
            "data/duskwalk.ogg: cannot load the music: its Ogg stream ends before its last page"},
    };
    for (const auto& c : cases) {
        TestShow show;
        c.breakIt(show);
        const Process run = start(show);
        EXPECT_EQ(waitFor(run, std::chrono::seconds(30)), 1) << c.fault;
        const std::string err = readFile(run.errPath);
        EXPECT_NE(err.find(c.message), std::string::npos) << c.fault << ": " << err;
    }
}

namespace {

// Replaces the first occurrence of `from` in the resource list by `to`.
void editConfig(const TestShow& show, const std::string& from, const std::string& to)
{
    std::string config = show.configText();
    const size_t at = config.find(from);
    ASSERT_NE(at, std::string::npos) << from;
    config.replace(at, from.size(), to);
    show.writeConfig(config);
}

} // namespace

TEST(App, faults_in_the_content_are_reported_and_the_show_plays_on)
{
    if (!haveDisplay())
        GTEST_SKIP() << "needs an X display";
    const std::string garbage("\x89\x00\xff\xfe binary \x01\x02\x03", 16);
    const struct {
        const char* fault;
        void (*breakIt)(const TestShow&);
        const char* stream; // "out" or "err": where the message goes
        const char* message; // nullptr: nothing at all
    } cases[] = {
        {"an image file that does not exist",
            [](const TestShow& show) { std::remove(show.path("data/intro.png").c_str()); }, "err",
            "warning: image data/intro.png: can't fopen"},
        {"an image path that is a folder",
            [](const TestShow& show) {
                std::remove(show.path("data/intro.png").c_str());
                ASSERT_TRUE(shell("mkdir " + show.path("data/intro.png")));
            },
            "err", "warning: image data/intro.png: cannot read: Is a directory"},
        {"a truncated PNG",
            [](const TestShow& show) {
                std::ifstream in(show.path("data/home.png"), std::ios::binary);
                std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
                writeFile(show.path("data/home.png"), bytes.substr(0, bytes.size() / 2));
            },
            "err", "warning: image data/home.png"},
        {"a PNG claiming enormous dimensions",
            [](const TestShow& show) {
                // Signature, then a header chunk of 100000 x 100000 pixels.
                writeFile(show.path("data/packs.png"),
                    std::string("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR\0\x01\x86\xa0\0\x01\x86\xa0\x08\x06\0\0\0"
                                "\xa8\x52\x0b\xc8",
                        33));
            },
            "err", "large"}, // stb_image's own "too large", or our limit
        {"a shader file that does not exist",
            [](const TestShow& show) { std::remove(show.path("data/sprite.frag").c_str()); }, "out",
            "Cannot open shader source data/sprite.frag"},
        {"a shader that does not compile",
            [](const TestShow& show) {
                writeFile(show.path("data/blood.frag"), "#version 410 core\nvoid main() { x; }\n");
            },
            "out", "Shader error\n"},
        {"an empty shader file", [](const TestShow& show) { writeFile(show.path("data/blood.vert"), ""); }, "out",
            "Link error\n"},
        {"a binary shader file",
            [](const TestShow& show) {
                writeFile(show.path("data/blood.frag"),
                    std::string("\x7f"
                                "ELF\x02\x01\0\0\xff",
                        9));
            },
            "out", "Shader error\n"},
        {"a dialog script that does not exist",
            [](const TestShow& show) { std::remove(show.path("data/harlan.dialog").c_str()); }, "err", nullptr},
        {"a dialog script of garbage, huge numbers, NaN, infinity and a very long line",
            [](const TestShow& show) {
                writeFile(show.path("data/prog.dialog"),
                    std::string("\x01\x02\xff\tgarbage\n1e999\t-1e999\nnan\tinf\n") + std::string(1 << 20, '7')
                        + "\t8\n0.5\t" + std::string(1 << 20, ' ') + "0.9\n");
            },
            "err", nullptr},
        {"a resource list line of 1 MB",
            [](const TestShow& show) {
                // One name without a value: the warning tells the line was read.
                editConfig(show, "File harlandialog ", "File x" + std::string(1 << 20, 'x') + "\nFile harlandialog ");
            },
            "err", "warning: \"File\" needs a name and a value; line skipped"},
        {"a resource list line holding a NUL byte",
            [](const TestShow& show) {
                editConfig(show, "File sadialog", std::string("File bad\0name x\nFile sadialog", 29));
            },
            "err", "warning: line holds a NUL byte"},
    };
    for (const auto& c : cases) {
        TestShow show;
        writeMusic(show, 1.0);
        c.breakIt(show);
        const Process run = start(show);
        EXPECT_EQ(waitFor(run, std::chrono::seconds(60)), 0) << c.fault << ": " << readFile(run.errPath);
        const std::string said = readFile(show.path(std::string("std") + c.stream + ".txt"));
        if (c.message)
            EXPECT_NE(said.find(c.message), std::string::npos) << c.fault << ": " << said;
        else
            EXPECT_EQ(said, "") << c.fault;
    }
}

TEST(App, without_a_gl_4_1_core_context_it_says_so_and_exits_with_code_1)
{
    if (!haveDisplay())
        GTEST_SKIP() << "needs an X display";
    TestShow show;
    writeMusic(show, 5.0);
    // Mesa then offers nothing newer than OpenGL 3.3.
    const Process run = start(show, {"SDL_AUDIODRIVER=dummy", "MESA_GL_VERSION_OVERRIDE=3.3"});
    EXPECT_EQ(waitFor(run, std::chrono::seconds(30)), 1);
    EXPECT_NE(readFile(run.errPath).find("OpenGL 4.1 core context"), std::string::npos) << readFile(run.errPath);
}

TEST(App, without_a_display_it_says_so_and_exits_with_code_1)
{
    const struct {
        const char* display; // null: DISPLAY unset
        const char* message;
    } cases[] = {
        {nullptr, "quorvane: no display: SDL found no screen to play on (neither DISPLAY nor WAYLAND_DISPLAY is set)"},
        {"DISPLAY=:987", "quorvane: no display: cannot open the display DISPLAY names (\":987\")"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.display ? c.display : "no DISPLAY");
        TestShow show;
        writeMusic(show, 5.0);
        std::vector<std::string> environment{"SDL_AUDIODRIVER=dummy"};
        if (c.display)
            environment.push_back(c.display);
        const Process run = start(show, environment, c.display != nullptr);
        EXPECT_EQ(waitFor(run, std::chrono::seconds(30)), 1);
        EXPECT_NE(readFile(run.errPath).find(c.message), std::string::npos) << readFile(run.errPath);
    }
}

TEST(App, fifty_starts_in_a_row_while_other_x_clients_come_and_go_all_play)
{
    if (!haveDisplay())
        GTEST_SKIP() << "needs an X display";
    TestShow show;
    writeMusic(show, 0.2);
    for (int i = 0; i < 50; ++i) {
        SCOPED_TRACE("start " + std::to_string(i + 1));
        const Process run = AppProcess::start(show, {"--window=160x90", "--mute"});
        // The X server resets itself whenever its last client leaves (as a
        // player does when it ends) and drops the connections that arrive
        // meanwhile; a client that comes and goes while the player starts
        // makes that happen again and again.
        const auto until = Clock::now() + std::chrono::milliseconds(400);
        while (Clock::now() < until)
            if (Display* other = XOpenDisplay(nullptr))
                XCloseDisplay(other);
        ASSERT_EQ(waitFor(run, std::chrono::seconds(30)), 0) << readFile(run.errPath);
    }
}
