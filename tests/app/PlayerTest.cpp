// The makers' player: the real quorvane with options, on the test's X
// display with SDL's dummy audio driver; keys sent with xdotool, the window
// compared with quorvane-capture's frame at the same show time.
#include <gtest/gtest.h>

#include <signal.h>
#include <stb_image.h>

#include <cmath>
#include <cstdlib>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "AppProcess.h"
#include "ClickTrack.h"
#include "GlTest.h"
#include "MonitorRecorder.h"
#include "SoundServer.h"
#include "TestShow.h"

namespace {

using Clock = std::chrono::steady_clock;

const std::vector<std::string> kWindow = {"--window=320x180", "--print-time"};

// The show times quorvane printed so far (the number after the first word
// of each line), waiting up to `limit` for at least `count` of them.
std::vector<double> printedTimes(const AppProcess& run, size_t count, std::chrono::seconds limit = std::chrono::seconds(20))
{
    const auto deadline = Clock::now() + limit;
    std::vector<double> times;
    while (true) {
        times.clear();
        std::istringstream lines(run.out());
        std::string line;
        while (std::getline(lines, line)) {
            std::istringstream words(line);
            std::string what;
            double time = 0.0;
            if (words >> what >> time)
                times.push_back(time);
        }
        if (times.size() >= count || Clock::now() > deadline)
            return times;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

// Sends `keys` (xdotool names) to the Quorvane window, one by one.
void press(const std::string& keys)
{
    std::istringstream names(keys);
    std::string key;
    while (names >> key) {
        shell("xdotool search --onlyvisible --name '^Quorvane$' windowfocus --sync key " + key + " >/dev/null 2>&1");
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
    }
}

// The mean difference per channel between the window (its `rows` rows from
// `top`; all when 0) and the frame that quorvane-capture draws at `time` at
// that size, with `options`; -1 when either picture is missing.
double differenceFromCapture(const TestShow& show, double time, const char* options = "", int top = 0, int rows = 0)
{
    int width = 0, height = 0;
    const std::vector<uint8_t> window = screenshot(show, false, width, height);
    if (window.empty())
        return -1.0;
    rows = rows ? rows : height - top;
    char command[512];
    std::snprintf(command, sizeof command, "%s -C %s --time %.6f --size %dx%d %s --out %s >/dev/null 2>&1",
        QUORVANE_CAPTURE, show.path("").c_str(), time, width, rows, options, show.path("capture_%d.png").c_str());
    if (!shell(command))
        return -1.0;
    int w = 0, h = 0, channels = 0;
    unsigned char* frame = stbi_load(show.path("capture_0.png").c_str(), &w, &h, &channels, 4);
    if (!frame || w != width || h != rows)
        return -1.0;
    double sum = 0.0;
    const size_t from = static_cast<size_t>(top) * width * 4;
    for (size_t i = 0; i < static_cast<size_t>(width) * rows * 4; ++i)
        if (i % 4 != 3)
            sum += std::abs(int(window[from + i]) - int(frame[i]));
    stbi_image_free(frame);
    return sum / (static_cast<double>(width) * rows * 3);
}

// Writes music as long as the show's into `show`, made once per test run.
void writeShowLengthMusic(const TestShow& show)
{
    static TempDir made;
    static bool written = false;
    if (!written) {
        TestShow first;
        writeMusic(first, 290.0);
        ASSERT_TRUE(shell("cp " + first.path("data/duskwalk.ogg") + " " + made.path("duskwalk.ogg")));
        written = true;
    }
    ASSERT_TRUE(shell("cp " + made.path("duskwalk.ogg") + " " + show.path("data/duskwalk.ogg")));
}

std::vector<std::string> with(std::vector<std::string> arguments, const std::vector<std::string>& more)
{
    arguments.insert(arguments.end(), more.begin(), more.end());
    return arguments;
}

} // namespace

TEST(Player, start_lands_on_a_time_or_a_scene_and_shows_what_a_capture_shows)
{
    if (!haveDisplay())
        GTEST_SKIP() << "needs an X display";
    const struct {
        const char* start;
        double time;
    } cases[] = {
        {"100", 100.0},
        {"PartyScene", 207.712681},
        {"party", 207.712681},
        {"#3", 30.999719},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.start);
        TestShow show;
        writeShowLengthMusic(show);
        const AppProcess run = AppProcess::start(show, with(kWindow, {"--paused", "--start", c.start}));
        ASSERT_TRUE(windowAppears(std::chrono::seconds(20))) << run.err();
        const std::vector<double> times = printedTimes(run, 1);
        ASSERT_EQ(times.size(), 1u) << run.out() << run.err();
        EXPECT_NEAR(times[0], c.time, 1e-6);
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        const double difference = differenceFromCapture(show, times[0]);
        EXPECT_GE(difference, 0.0) << "both pictures taken";
        EXPECT_LT(difference, 1.0) << "the window shows the captured frame";
        press("Escape");
        EXPECT_EQ(run.waitFor(std::chrono::seconds(10)), 0) << run.err();
    }
}

TEST(Player, the_makers_keys_land_on_the_expected_times)
{
    if (!haveDisplay())
        GTEST_SKIP() << "needs an X display";
    TestShow show;
    writeShowLengthMusic(show);
    const AppProcess run = AppProcess::start(show, with(kWindow, {"--edit", "--paused", "--start", "100"}));
    ASSERT_TRUE(windowAppears(std::chrono::seconds(20))) << run.err();
    ASSERT_EQ(printedTimes(run, 1).size(), 1u) << run.err();

    const struct {
        const char* keys;
        double time;
    } steps[] = {
        {"Right", 105.0},
        {"shift+Right", 106.0},
        {"Left", 101.0},
        {"shift+Left", 100.0},
        {"period", 100.0 + 1.0 / 30.0},
        {"comma", 100.0},
        {"Next", 105.963943},   // PageDown: the next scene, the cemetery by day
        {"Prior", 99.764199},   // PageUp from there: the cemetery at night
        {"Prior", 58.473094},   // and the funeral before it
        {"Home", 0.001},        // where the first scene draws
        {"Left", 0.001},        // not before it
    };
    size_t printed = 1;
    for (const auto& step : steps) {
        SCOPED_TRACE(step.keys);
        press(step.keys);
        const std::vector<double> times = printedTimes(run, ++printed, std::chrono::seconds(5));
        ASSERT_EQ(times.size(), printed) << run.out();
        EXPECT_NEAR(times.back(), step.time, 1e-6);
    }
    press("Escape");
    EXPECT_EQ(run.waitFor(std::chrono::seconds(10)), 0) << run.err();
}

TEST(Player, pause_holds_the_picture_and_the_time)
{
    if (!haveDisplay())
        GTEST_SKIP() << "needs an X display";
    TestShow show;
    writeShowLengthMusic(show);
    // The rich man walks in: the picture changes every frame while playing.
    const AppProcess run = AppProcess::start(show, with(kWindow, {"--edit", "--start", "209"}));
    ASSERT_TRUE(windowAppears(std::chrono::seconds(20))) << run.err();
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    press("space");
    const std::vector<double> times = printedTimes(run, 2);
    ASSERT_EQ(times.size(), 2u) << run.out();
    EXPECT_GT(times[1], 209.0);
    EXPECT_LT(times[1], 240.0);

    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    int width = 0, height = 0;
    const std::vector<uint8_t> first = screenshot(show, false, width, height);
    std::this_thread::sleep_for(std::chrono::milliseconds(1000));
    const std::vector<uint8_t> second = screenshot(show, false, width, height);
    ASSERT_FALSE(first.empty());
    EXPECT_TRUE(first == second) << "the picture holds while paused";
    EXPECT_LT(differenceFromCapture(show, times[1]), 1.0) << "and it is the frame of the paused time";

    press("Escape");
    EXPECT_EQ(run.waitFor(std::chrono::seconds(10)), 0) << run.err();
}

TEST(Player, the_speed_key_at_the_speed_playing_leaves_the_music_playing_on)
{
    if (!haveDisplay())
        GTEST_SKIP() << "needs an X display";
    TestShow show;
    // A click every tenth of a second of music, a longer one every second:
    // music that plays on is heard as nine clicks between whole seconds;
    // music started again breaks that count.
    const std::vector<uint8_t> track = ClickTrack::wav(30.0);
    writeFile(show.path("data/duskwalk.ogg"), std::string(track.begin(), track.end()));
    const SoundServer server(SoundServer::Kind::PulseAudio);
    std::vector<ClickTrack::Click> clicks;
    {
        MonitorRecorder recorder(SoundServer::kMonitor);
        // The server holds more than a tenth of a second, so that a repeat
        // always holds a click, and the sink does not run dry under load.
        const AppProcess run = AppProcess::start(
            show, with(kWindow, {"--edit"}), {"SDL_AUDIODRIVER=pulseaudio", "PULSE_LATENCY_MSEC=150"});
        ASSERT_TRUE(windowAppears(std::chrono::seconds(20))) << run.err();
        std::this_thread::sleep_for(std::chrono::milliseconds(2500));
        press("1 1 1");
        std::this_thread::sleep_for(std::chrono::milliseconds(2500));
        press("Escape");
        EXPECT_EQ(run.waitFor(std::chrono::seconds(10)), 0) << run.err();
        recorder.stop();
        clicks = ClickTrack::find(recorder.samples());
    }
    std::vector<size_t> seconds;
    for (size_t i = 0; i < clicks.size(); ++i)
        if (clicks[i].second)
            seconds.push_back(i);
    ASSERT_GE(seconds.size(), 4u) << "the music was heard";
    for (size_t k = 1; k < seconds.size(); ++k)
        EXPECT_EQ(seconds[k] - seconds[k - 1], 10u) << "the clicks from the second heard at sample "
                                                     << clicks[seconds[k - 1]].sample;
}

TEST(Player, bad_usage_exits_with_code_2_and_says_why)
{
    if (!haveDisplay())
        GTEST_SKIP() << "needs an X display";
    const struct {
        std::vector<std::string> arguments;
        const char* message;
    } cases[] = {
        {{"--bogus"}, "unknown option --bogus"},
        {{"--window=0x5"}, "--window width"},
        {{"--window=640"}, "--window wants a size"},
        {{"--window", "--fullscreen"}, "not both"},
        {{"--paused=yes"}, "--paused takes no value"},
        {{"--start"}, "--start needs a value"},
        {{"--start", "nowhere", "--window=320x180"}, "no scene is called \"nowhere\""},
        {{"--start", "#14", "--window=320x180"}, "--start wants a whole number from 1 to 13"},
        {{"--start", "1000", "--window=320x180"}, "--start: 1000 lies past the end of the show (5.0 s)"},
        {{"stray"}, "unexpected argument"},
        {{"--build", "no/such/folder", "--window=320x180"}, "/no/such/folder: No such file or directory"},
        {{"--build", ".", "--window=320x180"}, "holds no CMake build (no CMakeCache.txt); make one with cmake -S . -B "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.front());
        TestShow show;
        writeMusic(show, 5.0);
        const AppProcess run = AppProcess::start(show, c.arguments);
        EXPECT_EQ(run.waitFor(std::chrono::seconds(30)), 2);
        EXPECT_NE(run.err().find(c.message), std::string::npos) << run.err();
        EXPECT_NE(run.err().find("quorvane --help"), std::string::npos) << run.err();
    }
}

TEST(Player, signals_end_the_player_too)
{
    if (!haveDisplay())
        GTEST_SKIP() << "needs an X display";
    TestShow show;
    writeMusic(show, 30.0);
    const AppProcess run = AppProcess::start(show, with(kWindow, {"--edit", "--paused"}));
    ASSERT_TRUE(windowAppears(std::chrono::seconds(20))) << run.err();
    kill(run.pid, SIGTERM);
    EXPECT_EQ(run.waitFor(std::chrono::seconds(10)), 143);
}

TEST(Player, without_sound_the_show_ends_when_its_time_passes_the_music)
{
    if (!haveDisplay())
        GTEST_SKIP() << "needs an X display";
    TestShow show;
    writeMusic(show, 2.0);
    const auto started = Clock::now();
    const AppProcess run = AppProcess::start(show, with(kWindow, {"--mute", "--start", "0.5"}));
    EXPECT_EQ(run.waitFor(std::chrono::seconds(30)), 0) << run.err();
    EXPECT_GE(Clock::now() - started, std::chrono::milliseconds(1500)) << "it played from 0.5 s to the end";
}

namespace {

// The colour at the centre of the Quorvane window.
Rgba windowCentre(const TestShow& show)
{
    int width = 0, height = 0;
    const std::vector<uint8_t> rows = screenshot(show, false, width, height);
    if (rows.empty())
        return {-1, -1, -1, -1};
    return pixelAt(rows, width, width / 2, height / 2);
}

// Waits up to `limit` for the window's centre to show `colour`.
bool centreTurns(const TestShow& show, Rgba colour, std::chrono::milliseconds limit)
{
    const auto deadline = Clock::now() + limit;
    do {
        if (near(windowCentre(show), colour, 3))
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    } while (Clock::now() < deadline);
    return false;
}

} // namespace

TEST(Player, live_reload_shows_a_replaced_image_and_keeps_the_old_program_when_a_shader_breaks)
{
    if (!haveDisplay())
        GTEST_SKIP() << "needs an X display";
    TestShow show;
    writeMusic(show, 30.0);
    // The opening picture fills the window.
    const AppProcess run = AppProcess::start(show, with(kWindow, {"--edit", "--paused", "--start", "2"}));
    ASSERT_TRUE(windowAppears(std::chrono::seconds(20))) << run.err();
    ASSERT_TRUE(centreTurns(show, show.colourOf("intro"), std::chrono::seconds(5))) << windowCentre(show);

    // A new picture, written as the content build writes it.
    ASSERT_TRUE(shell("cp " + show.path("data/home.png") + " " + show.path("data/intro.png.new") + " && mv "
        + show.path("data/intro.png.new") + " " + show.path("data/intro.png")));
    const auto replaced = Clock::now();
    EXPECT_TRUE(centreTurns(show, show.colourOf("home"), std::chrono::milliseconds(1000)))
        << "within a second: " << windowCentre(show);
    EXPECT_LT(Clock::now() - replaced, std::chrono::milliseconds(1100));
    EXPECT_NE(run.out().find("reloaded data/intro.png"), std::string::npos) << run.out();

    // A shader that does not compile: diagnostics, and the picture stays.
    writeFile(show.path("data/default.frag"), "#version 410 core\nvoid main() { nonsense; }\n");
    std::this_thread::sleep_for(std::chrono::milliseconds(1000));
    const std::string said = run.out();
    EXPECT_NE(said.find("Shader error"), std::string::npos) << said;
    EXPECT_NE(said.find("the old program is kept"), std::string::npos) << said;
    EXPECT_TRUE(near(windowCentre(show), show.colourOf("home"), 3)) << windowCentre(show);

    press("Escape");
    EXPECT_EQ(run.waitFor(std::chrono::seconds(10)), 0) << run.err();
}

TEST(Player, tab_shows_and_hides_the_overlay_over_the_frame)
{
    if (!haveDisplay())
        GTEST_SKIP() << "needs an X display";
    TestShow show;
    writeMusic(show, 30.0);
    const AppProcess run = AppProcess::start(show, with(kWindow, {"--edit", "--paused", "--start", "2"}));
    ASSERT_TRUE(windowAppears(std::chrono::seconds(20))) << run.err();
    ASSERT_TRUE(centreTurns(show, show.colourOf("intro"), std::chrono::seconds(5)));
    const Rgba intro = show.colourOf("intro");
    // The corner of the window: the picture, then the overlay's dark box.
    const auto corner = [&show]() {
        int width = 0, height = 0;
        const std::vector<uint8_t> rows = screenshot(show, false, width, height);
        return rows.empty() ? Rgba{-1, -1, -1, -1} : pixelAt(rows, width, 2, 2);
    };
    EXPECT_TRUE(near(corner(), intro, 3)) << corner();
    press("Tab");
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    const Rgba dimmed = corner();
    EXPECT_LT(dimmed.r + dimmed.g + dimmed.b, (intro.r + intro.g + intro.b) / 2) << dimmed;
    EXPECT_TRUE(centreTurns(show, intro, std::chrono::seconds(1))) << "the picture goes on below";
    press("Tab");
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    EXPECT_TRUE(near(corner(), intro, 3)) << corner();
    press("Escape");
    EXPECT_EQ(run.waitFor(std::chrono::seconds(10)), 0) << run.err();
}

TEST(Player, loop_starts_again_at_the_beginning)
{
    if (!haveDisplay())
        GTEST_SKIP() << "needs an X display";
    TestShow show;
    writeMusic(show, 1.0);
    const AppProcess run = AppProcess::start(show, with(kWindow, {"--loop", "--mute"}));
    ASSERT_TRUE(windowAppears(std::chrono::seconds(20))) << run.err();
    const std::vector<double> times = printedTimes(run, 3, std::chrono::seconds(10));
    ASSERT_GE(times.size(), 3u) << run.out() << run.err();
    EXPECT_EQ(times[1], 0.001) << "back at the start, where the first scene draws";
    EXPECT_EQ(times[2], 0.001) << "and again";
    kill(run.pid, SIGINT);
    EXPECT_EQ(run.waitFor(std::chrono::seconds(10)), 130);
}

TEST(Player, the_windows_close_button_ends_the_player_but_not_the_show_as_made)
{
    if (!haveDisplay())
        GTEST_SKIP() << "needs an X display";
    TestShow show;
    writeMusic(show, 30.0);
    const AppProcess player = AppProcess::start(show, with(kWindow, {"--paused"}));
    ASSERT_TRUE(windowAppears(std::chrono::seconds(20))) << player.err();
    ASSERT_TRUE(requestWindowClose());
    EXPECT_EQ(player.waitFor(std::chrono::seconds(10)), 0) << player.err();

    TestShow asMade;
    writeMusic(asMade, 30.0);
    const AppProcess run = AppProcess::start(asMade);
    ASSERT_TRUE(windowAppears(std::chrono::seconds(20))) << run.err();
    ASSERT_TRUE(requestWindowClose());
    EXPECT_EQ(run.waitFor(std::chrono::seconds(2)), -1) << "the show plays on";
}

namespace {

// Saves `from` as data/`name` the way an editor or a build does: a new file
// renamed over the old one.
void save(const TestShow& show, const std::string& name, const std::string& from)
{
    const std::string path = show.path("data/" + name);
    ASSERT_TRUE(shell("cp " + from + " " + path + ".new && mv " + path + ".new " + path));
}

// Waits up to 5 s for the player's standard output to hold `text`, `times`
// times.
bool says(const AppProcess& run, const std::string& text, int times = 1)
{
    return within([&] { return run.out(); }, text, std::chrono::seconds(5), times);
}

} // namespace

TEST(Player, a_save_during_start_up_or_with_the_old_modification_time_is_shown)
{
    if (!haveDisplay())
        GTEST_SKIP() << "needs an X display";
    // Saves at moments of the start-up: while the pictures are decoded, the
    // window comes up and the show is built.
    for (const int afterMs : {50, 100, 200, 400}) {
        SCOPED_TRACE("saved " + std::to_string(afterMs) + " ms after the start");
        TestShow show;
        writeMusic(show, 30.0);
        const AppProcess run = AppProcess::start(show, with(kWindow, {"--edit", "--paused", "--start", "2"}));
        std::this_thread::sleep_for(std::chrono::milliseconds(afterMs));
        save(show, "intro.png", show.path("data/home.png"));
        ASSERT_TRUE(windowAppears(std::chrono::seconds(20))) << run.err();
        EXPECT_TRUE(centreTurns(show, show.colourOf("home"), std::chrono::seconds(3))) << windowCentre(show);

        // Same size, and the modification time put back, as cp -p or a
        // checkout can leave it.
        const std::string intro = show.path("data/intro.png");
        ASSERT_TRUE(shell("touch -r " + intro + " " + intro + ".time && cp " + show.path("data/packs.png") + " "
            + intro + " && touch -r " + intro + ".time " + intro));
        EXPECT_TRUE(centreTurns(show, show.colourOf("packs"), std::chrono::seconds(3))) << windowCentre(show);
        press("Escape");
        EXPECT_EQ(run.waitFor(std::chrono::seconds(10)), 0) << run.err();
    }
}

TEST(Player, reloads_name_their_files_scripts_and_what_kept_the_old_version)
{
    if (!haveDisplay())
        GTEST_SKIP() << "needs an X display";
    TestShow show;
    writeMusic(show, 30.0);
    const AppProcess run = AppProcess::start(show, with(kWindow, {"--edit", "--paused", "--start", "2"}));
    ASSERT_TRUE(windowAppears(std::chrono::seconds(20))) << run.err();
    ASSERT_TRUE(says(run, "paused")) << run.out();

    // The home scene's own script, named by no line of the resource list.
    writeFile(show.path("data/programmer.x"), "1\t2\nhello\n3\tsoon\n");
    save(show, "programmer.dialog", show.path("data/programmer.x"));
    EXPECT_TRUE(says(run, "reloaded data/programmer.dialog for 1 figure\n"
                          "  data/programmer.dialog: warning: lines 2, 3 do not read as two numbers"))
        << run.out();

    // The list names another script for the programmer.
    writeFile(show.path("data/other.dialog"), "5\t6\n");
    std::string config = show.configText();
    config.replace(config.find("data/prog.dialog"), 16, "data/other.dialog");
    show.writeConfig(config);
    EXPECT_TRUE(says(run, "\"progdialog\" is now data/other.dialog, for 1 figure")) << run.out();

    // R reloads everything and names the file that did not load.
    writeFile(show.path("data/home.png"), "not a picture");
    press("r");
    EXPECT_TRUE(says(run, "reloaded data/config.txt and everything it names; 1 file kept its old version:\n"
                          "  data/home.png: "))
        << run.out();
    EXPECT_TRUE(centreTurns(show, show.colourOf("intro"), std::chrono::seconds(1))) << "the picture stays";

    press("Escape");
    EXPECT_EQ(run.waitFor(std::chrono::seconds(10)), 0) << run.err();
}

TEST(Player, a_new_track_plays_on_from_the_present_time_and_a_bad_one_is_kept)
{
    if (!haveDisplay())
        GTEST_SKIP() << "needs an X display";
    TestShow show;
    writeMusic(show, 3.0);
    ASSERT_TRUE(writeToneOgg(show.path("six.ogg"), 6.0));
    ASSERT_TRUE(writeToneOgg(show.path("seven.ogg"), 7.0));
    writeFile(show.path("garbage.ogg"), "not music");
    const AppProcess run = AppProcess::start(show, with(kWindow, {"--edit", "--paused", "--start", "1"}));
    ASSERT_TRUE(windowAppears(std::chrono::seconds(20))) << run.err();
    ASSERT_TRUE(says(run, "paused 1.000000")) << run.out();

    save(show, "duskwalk.ogg", show.path("garbage.ogg"));
    EXPECT_TRUE(says(run, "data/duskwalk.ogg: cannot load the music: ")) << run.out();
    EXPECT_TRUE(says(run, "; the old track is kept")) << run.out();

    save(show, "duskwalk.ogg", show.path("six.ogg"));
    ASSERT_TRUE(says(run, "reloaded data/duskwalk.ogg")) << run.out();
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    press("space");
    EXPECT_TRUE(says(run, "playing 1.000000")) << "paused it stayed, at its time: " << run.out();

    // Playing, a new track goes on from the present show time.
    std::this_thread::sleep_for(std::chrono::milliseconds(1000));
    save(show, "duskwalk.ogg", show.path("seven.ogg"));
    ASSERT_TRUE(says(run, "reloaded data/duskwalk.ogg", 2)) << run.out();
    press("space");
    const std::vector<double> times = printedTimes(run, 3);
    ASSERT_EQ(times.size(), 3u) << run.out();
    EXPECT_GT(times[2], 2.0) << run.out();
    EXPECT_LT(times[2], 4.0) << run.out();
    // To the new track's end, 7 s, where the first would have ended at 3 s.
    press("space");
    const auto resumed = Clock::now();
    EXPECT_EQ(run.waitFor(std::chrono::seconds(30)), 0) << run.err();
    EXPECT_GT(Clock::now() - resumed, std::chrono::duration<double>(6.5 - times[2]));
}

namespace {

// A standard MIDI file of one track: two notes of a second each, the first
// `note`. SDL_mixer plays it from its start, but cannot start it anywhere
// else.
std::string twoNoteMidi(char note)
{
    const std::string track = std::string("\x00\x90", 2) + note + '\x64' // note on at once
        + std::string("\x83\x60\x80", 3) + note + '\x00'               // off 480 ticks later
        + std::string("\x00\x90\x3e\x64", 4) + std::string("\x83\x60\x80\x3e\x00", 5)
        + std::string("\x00\xff\x2f\x00", 4); // end of track
    return std::string("MThd\x00\x00\x00\x06\x00\x00\x00\x01\x00\xf0", 14) + "MTrk"
        + std::string("\x00\x00\x00", 3) + char(track.size()) + track;
}

} // namespace

TEST(Player, a_new_track_that_cannot_start_where_the_show_is_leaves_the_old_one_playing)
{
    if (!haveDisplay())
        GTEST_SKIP() << "needs an X display";
    TestShow show;
    // Eight seconds of clicks, heard on a sound server (SDL's dummy driver
    // plays the show silently, music unplayed).
    const std::vector<uint8_t> clicks = ClickTrack::wav(8.0);
    writeFile(show.path("data/duskwalk.ogg"), std::string(clicks.begin(), clicks.end()));
    writeFile(show.path("tune.mid"), twoNoteMidi('\x3c'));
    writeFile(show.path("other.mid"), twoNoteMidi('\x40'));
    const SoundServer server(SoundServer::Kind::PulseAudio);
    MonitorRecorder recorder(SoundServer::kMonitor);
    const AppProcess run = AppProcess::start(
        show, with(kWindow, {"--edit", "--paused", "--start", "1"}), {"SDL_AUDIODRIVER=pulseaudio"});
    ASSERT_TRUE(windowAppears(std::chrono::seconds(20))) << run.err();
    ASSERT_TRUE(says(run, "paused 1.000000")) << run.out();

    // Paused, nothing is heard, yet the new track must start at 1 s.
    const std::string refused = "data/duskwalk.ogg: cannot play the new music at 1.000 s (Position not implemented "
                                "for music type); the old track is kept\n";
    save(show, "duskwalk.ogg", show.path("tune.mid"));
    EXPECT_TRUE(says(run, refused)) << run.out();
    press("space");
    ASSERT_TRUE(says(run, "playing 1.000000")) << run.out() << run.err();

    // Playing, another: the old track plays on.
    save(show, "duskwalk.ogg", show.path("other.mid"));
    EXPECT_TRUE(says(run, "; the old track is kept\n", 2)) << run.out();
    // The old track's end, 8 s, ends the show (a MIDI track has no known end).
    EXPECT_EQ(run.waitFor(std::chrono::seconds(20)), 0) << run.out() << run.err();
    EXPECT_EQ(run.out().find("reloaded data/duskwalk.ogg"), std::string::npos) << run.out();
    recorder.stop();
    int wholeSeconds = 0;
    for (const ClickTrack::Click& click : ClickTrack::find(recorder.samples()))
        wholeSeconds += click.second ? 1 : 0;
    EXPECT_GE(wholeSeconds, 5) << "the old track's seconds 2 to 7 were heard";
}

TEST(Player, a_saved_source_is_built_and_shown_and_a_failed_build_says_so)
{
    if (!haveDisplay())
        GTEST_SKIP() << "needs an X display";
    TestShow show;
    writeMusic(show, 30.0);
    // A content build as small as can be: content/intro.png copied into data/.
    writeFile(show.path("CMakeLists.txt"),
        "cmake_minimum_required(VERSION 3.25)\nproject(Content NONE)\n"
        "add_custom_command(OUTPUT ${CMAKE_SOURCE_DIR}/data/intro.png\n"
        "  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/content/intro.png ${CMAKE_SOURCE_DIR}/data/intro.png\n"
        "  DEPENDS ${CMAKE_SOURCE_DIR}/content/intro.png)\n"
        "add_custom_target(content DEPENDS ${CMAKE_SOURCE_DIR}/data/intro.png)\n");
    ASSERT_TRUE(shell("mkdir -p content && cp data/intro.png content/intro.png && cmake -S . -B build >/dev/null"));
    const AppProcess run
        = AppProcess::start(show, with(kWindow, {"--build", "build", "--paused", "--start", "2"}));
    ASSERT_TRUE(windowAppears(std::chrono::seconds(20))) << run.err();
    ASSERT_TRUE(centreTurns(show, show.colourOf("intro"), std::chrono::seconds(5)));

    ASSERT_TRUE(shell("cp data/home.png content/intro.png.new && mv content/intro.png.new content/intro.png"));
    EXPECT_TRUE(centreTurns(show, show.colourOf("home"), std::chrono::seconds(15))) << run.out() << run.err();
    EXPECT_TRUE(says(run, "built the content in")) << run.out();

    std::remove(show.path("content/intro.png").c_str());
    EXPECT_TRUE(says(run, "the content build failed")) << run.out();
    EXPECT_TRUE(centreTurns(show, show.colourOf("home"), std::chrono::seconds(1))) << "the picture stays";
    press("Escape");
    EXPECT_EQ(run.waitFor(std::chrono::seconds(10)), 0) << run.err();
}

TEST(Player, captions_show_over_an_undistorted_picture_in_any_window_switched_by_c_and_read_again_when_saved)
{
    if (!haveDisplay())
        GTEST_SKIP() << "needs an X display";
    TestShow show;
    writeShowLengthMusic(show);
    writeFile(show.path("data/captions.vtt"), "WEBVTT\n\n02:50.000 --> 02:55.000\nHarlan: Rest well, Milo.\n");
    // A square window: the 16:9 picture is 400x225, 88 rows down, black above and below; the
    // office, whose figures are drawn through scissor rectangles inside the picture.
    const AppProcess run = AppProcess::start(
        show, {"--window=400x400", "--print-time", "--edit", "--paused", "--captions", "--start", "171"});
    ASSERT_TRUE(windowAppears(std::chrono::seconds(20))) << run.err();
    ASSERT_EQ(printedTimes(run, 1).size(), 1u) << run.err();
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    int width = 0, height = 0;
    const std::vector<uint8_t> window = screenshot(show, false, width, height);
    ASSERT_EQ(height, 400);
    for (const int row : {0, 87, 313, 399}) {
        SCOPED_TRACE(row);
        EXPECT_TRUE(near(pixelAt(window, width, 0, row), Rgba{0, 0, 0, 255}, 0));
        EXPECT_TRUE(near(pixelAt(window, width, 399, row), Rgba{0, 0, 0, 255}, 0));
    }

    const struct {
        const char* step;
        const char* keys;
        const char* captions; // a new captions file, saved as an editor does
        const char* capture;  // the capture's options that draw the same picture
    } steps[] = {
        {"with --captions", "", nullptr, "--captions"},
        {"C turns them off", "c", nullptr, ""},
        {"C turns them on", "c", nullptr, "--captions"},
        {"a saved file shows", "", "WEBVTT\n\n02:51.000 --> 02:52.000\nVesna: Later.\n", "--captions"},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.step);
        press(step.keys);
        if (step.captions) {
            writeFile(show.path("data/captions.new"), step.captions);
            ASSERT_TRUE(shell("mv " + show.path("data/captions.new") + " " + show.path("data/captions.vtt")));
            EXPECT_TRUE(says(run, "reloaded data/captions.vtt (1 cue)")) << run.out();
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        EXPECT_LT(differenceFromCapture(show, 171.0, step.capture, 88, 225), 0.2);
        EXPECT_GT(differenceFromCapture(show, 171.0, *step.capture ? "" : "--captions", 88, 225), 0.5);
    }
    press("Escape");
    EXPECT_EQ(run.waitFor(std::chrono::seconds(10)), 0) << run.err();
}

TEST(Player, captions_beyond_their_bounds_are_refused_with_their_line_and_each_reload_says_what_is_kept)
{
    if (!haveDisplay())
        GTEST_SKIP() << "needs an X display";
    TestShow show;
    writeMusic(show, 30.0);
    std::string thousands = "WEBVTT\n\n00:00.500 --> 00:09.000\n";
    for (int i = 0; i < 5000; ++i)
        thousands += "line " + std::to_string(i) + "\n";
    writeFile(show.path("thousands.vtt"), thousands);
    writeFile(show.path("long.vtt"), "WEBVTT\n\n00:00.500 --> 00:09.000\n" + std::string(60, 'x') + "\n");
    writeFile(show.path("one.vtt"), "WEBVTT\n\n00:00.500 --> 00:09.000\nHarlan: Rest well, Milo.\n");
    writeFile(show.path("two.vtt"), "WEBVTT\n00:00.500 --> 00:01.000\nHi\n\n00:01.000 --> 00:09.000\nHo\n");

    // The capture refuses the file, naming its line.
    save(show, "captions.vtt", show.path("thousands.vtt"));
    const std::string capture = output(std::string(QUORVANE_CAPTURE) + " -C " + show.path("")
        + " --captions --time 1 --out " + show.path("frame.png") + " 2>&1; echo exit $?");
    EXPECT_NE(capture.find("quorvane-capture: data/captions.vtt:7: the cue has more than 3 lines"), std::string::npos)
        << capture;
    EXPECT_NE(capture.find("exit 1"), std::string::npos) << capture;

    // The player starts with it, says why there are no captions and plays on.
    const AppProcess run = AppProcess::start(show, with(kWindow, {"--edit", "--paused", "--captions", "--start", "1"}));
    ASSERT_TRUE(windowAppears(std::chrono::seconds(20))) << run.err();
    ASSERT_TRUE(says(run, "paused 1.000000")) << run.out();
    const struct {
        const char* step;
        const char* file; // saved as captions.vtt; nullptr: deleted
        const char* says;
    } steps[] = {
        {"a line too long, with none read", "long.vtt",
            "data/captions.vtt:4: the line has 60 characters, more than 50 fit across the picture; no captions\n"},
        {"deleted, with none read", nullptr, "data/captions.vtt: cannot open; no captions\n"},
        {"one cue", "one.vtt", "reloaded data/captions.vtt (1 cue)\n"},
        {"too large", "thousands.vtt",
            "data/captions.vtt:7: the cue has more than 3 lines; the old captions are kept\n"},
        {"two cues, the first right after the header", "two.vtt", "reloaded data/captions.vtt (2 cues)\n"},
        {"deleted", nullptr, "data/captions.vtt: cannot open; the old captions are kept\n"},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.step);
        if (step.file)
            save(show, "captions.vtt", show.path(step.file));
        else
            std::remove(show.path("data/captions.vtt").c_str());
        EXPECT_TRUE(says(run, step.says)) << run.out();
    }
    press("Escape");
    EXPECT_EQ(run.waitFor(std::chrono::seconds(10)), 0) << run.err();
    EXPECT_NE(run.err().find("quorvane: warning: data/captions.vtt:7: the cue has more than 3 lines; no captions"),
        std::string::npos)
        << run.err();
}

TEST(Player, gl_objects_go_while_their_context_is_current)
{
    if (!haveDisplay())
        GTEST_SKIP() << "needs an X display";
    TestShow show;
    writeMusic(show, 30.0);
    writeFile(show.path("data/captions.vtt"), "WEBVTT\n\n00:00.500 --> 00:09.000\nHarlan: Rest well, Milo.\n");
    // Captions and the overlay shown, so that everything the player draws
    // with has its GL objects when it ends.
    // In a sanitized build the preloaded library comes before the sanitizer's
    // runtime, which then would refuse to start.
    const char* asan = std::getenv("ASAN_OPTIONS");
    const std::string asanOptions
        = std::string("ASAN_OPTIONS=") + (asan ? std::string(asan) + ":" : "") + "verify_asan_link_order=0";
    const AppProcess run = AppProcess::start(show, with(kWindow, {"--edit", "--paused", "--captions", "--start", "1"}),
        {"SDL_AUDIODRIVER=dummy", std::string("LD_PRELOAD=") + QUORVANE_GL_CONTEXT_CHECK, asanOptions});
    ASSERT_TRUE(windowAppears(std::chrono::seconds(20))) << run.err();
    ASSERT_TRUE(says(run, "paused 1.000000")) << run.out();
    press("Tab");
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    press("Escape");
    EXPECT_EQ(run.waitFor(std::chrono::seconds(10)), 0) << run.err();
    EXPECT_EQ(run.err().find("gl-context-check"), std::string::npos) << run.err();
}

TEST(Player, captions_that_cannot_be_read_are_named_once_and_the_show_plays_on)
{
    if (!haveDisplay())
        GTEST_SKIP() << "needs an X display";
    const struct {
        const char* fault;
        const char* captions; // nullptr: no captions file
        const char* message;
    } cases[] = {
        {"no captions file", nullptr, "quorvane: warning: data/captions.vtt: cannot open; no captions\n"},
        {"a captions file that does not read", "WEBVTT\n\n1 --> 2\nHi\n",
            "quorvane: warning: data/captions.vtt:3: \"1 --> 2\" is not a cue's times"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fault);
        TestShow show;
        writeMusic(show, 2.0);
        if (c.captions)
            writeFile(show.path("data/captions.vtt"), c.captions);
        const AppProcess run = AppProcess::start(show, {"--window=320x180", "--captions", "--start", "1"});
        EXPECT_EQ(run.waitFor(std::chrono::seconds(30)), 0) << run.err();
        const std::string err = run.err();
        const size_t at = err.find(c.message);
        EXPECT_NE(at, std::string::npos) << err;
        EXPECT_EQ(err.find(c.message, at + 1), std::string::npos) << "said once: " << err;
    }
}

TEST(Player, without_a_font_for_the_captions_it_names_the_families_it_looked_for_once_and_the_show_plays_on)
{
    if (!haveDisplay())
        GTEST_SKIP() << "needs an X display";
    // A mount namespace of its own hides the system's fonts from this one run.
    if (!shell("unshare -m true 2>/dev/null"))
        GTEST_SKIP() << "needs unshare -m (root)";
    TestShow show;
    writeMusic(show, 2.0);
    writeFile(show.path("data/captions.vtt"), "WEBVTT\n\n00:00.000 --> 00:05.000\nHarlan: Rest well, Milo.\n");
    const bool ended = shell(std::string("SDL_AUDIODRIVER=dummy timeout 60 unshare -m sh -c "
                                         "'mount -t tmpfs none /usr/share/fonts && exec ")
        + QUORVANE_BINARY + " --window=320x180 --captions --start 1' >" + show.path("stdout.txt") + " 2>"
        + show.path("stderr.txt"));
    const std::string err = readFile(show.path("stderr.txt"));
    EXPECT_TRUE(ended) << err;
    const std::string message = "quorvane: warning: no font for the captions: fontconfig knows no font of the "
                                "family \"DejaVu Sans\" or \"Noto Sans\"";
    const size_t at = err.find(message);
    EXPECT_NE(at, std::string::npos) << err;
    EXPECT_EQ(err.find(message, at + 1), std::string::npos) << "said once: " << err;
    EXPECT_NE(err.find("(Debian's fonts-dejavu-core has the first); no captions\n"), std::string::npos) << err;
}
