// The music read into memory and opened by SDL_mixer on its dummy driver:
// what reads, what is refused and why, and a read again on its own thread
// that hands out the file as it was last saved.
#include <SDL.h>
#include <SDL_mixer.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>

#include "app/MusicTrack.h"
#include "app/TrackLoader.h"
#include "support/TestFiles.h"

namespace {

class MusicTrackTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SDL_setenv("SDL_AUDIODRIVER", "dummy", 1);
        ASSERT_EQ(SDL_Init(SDL_INIT_AUDIO), 0) << SDL_GetError();
        ASSERT_EQ(Mix_OpenAudio(44100, AUDIO_S16LSB, 2, 2048), 0) << Mix_GetError();
    }
    void TearDown() override
    {
        Mix_CloseAudio();
        SDL_Quit();
    }

    TempDir dir;
};

// Byte offsets of the pages of the Ogg file `bytes`.
std::vector<size_t> pagesOf(const std::string& bytes)
{
    std::vector<size_t> pages;
    for (size_t at = bytes.find("OggS"); at != std::string::npos; at = bytes.find("OggS", at + 1))
        pages.push_back(at);
    return pages;
}

} // namespace

TEST_F(MusicTrackTest, a_whole_file_reads_and_one_cut_short_anywhere_is_refused)
{
    ASSERT_TRUE(writeToneOgg(dir.path("whole.ogg"), 3.0));
    const std::string whole = readFile(dir.path("whole.ogg"));
    const std::vector<size_t> pages = pagesOf(whole);
    ASSERT_GE(pages.size(), 3u);
    const size_t last = pages.back();
    const struct {
        const char* what;
        size_t length; // bytes kept
        const char* error; // nullptr: it reads
    } cases[] = {
        {"the whole file", whole.size(), nullptr},
        {"cut inside the last page's segments", whole.size() - 1, "ends before its last page"},
        {"cut inside the last page's header", last + 10, "ends before its last page"},
        {"cut just before the last page", last, "ends before its last page"},
        {"cut inside an earlier page", (pages[1] + pages[2]) / 2, "ends before its last page"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        writeFile(dir.path("music.ogg"), whole.substr(0, c.length));
        std::string error;
        const std::unique_ptr<MusicTrack> track = MusicTrack::load(dir.path("music.ogg"), error);
        if (!c.error) {
            ASSERT_NE(track, nullptr) << error;
            EXPECT_NEAR(track->length(), 3.0, 0.05);
        } else {
            EXPECT_EQ(track, nullptr);
            EXPECT_NE(error.find(c.error), std::string::npos) << error;
        }
    }
}

TEST_F(MusicTrackTest, what_is_not_music_or_too_large_is_refused_with_the_reason)
{
    writeFile(dir.path("text.ogg"), "not music");
    // Sparse: as large as said, without taking the disk or memory.
    const std::string huge = dir.path("huge.ogg");
    writeFile(huge, "OggS");
    const struct {
        std::string path;
        off_t size; // > 0: the file is grown to this size first
        const char* error;
    } cases[] = {
        {dir.path("missing.ogg"), 0, "cannot load the music: No such file or directory"},
        {dir.path("text.ogg"), 0, "cannot load the music: "},
        {huge, static_cast<off_t>(MusicTrack::kMaxBytes) + 1, "larger than 256 MiB"},
        {huge, off_t{3} << 30, "larger than 256 MiB"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path + " " + std::to_string(c.size));
        if (c.size > 0) {
            ASSERT_EQ(truncate(c.path.c_str(), c.size), 0);
        }
        std::string error;
        EXPECT_EQ(MusicTrack::load(c.path, error), nullptr);
        EXPECT_NE(error.find(c.error), std::string::npos) << error;
    }
}

TEST_F(MusicTrackTest, a_read_asked_for_during_a_read_hands_out_the_file_as_last_saved)
{
    ASSERT_TRUE(writeToneOgg(dir.path("three.ogg"), 3.0));
    ASSERT_TRUE(writeToneOgg(dir.path("five.ogg"), 5.0));
    writeFile(dir.path("music.ogg"), readFile(dir.path("three.ogg")));
    TrackLoader loader(dir.path("music.ogg"));
    TrackLoader::Result result;
    EXPECT_FALSE(loader.finished(result)) << "nothing asked for";
    loader.start();
    writeFile(dir.path("music.ogg"), readFile(dir.path("five.ogg")));
    loader.start();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!loader.finished(result) && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ASSERT_NE(result.track, nullptr) << result.error;
    EXPECT_NEAR(result.track->length(), 5.0, 0.05);
    EXPECT_FALSE(loader.busy());
    EXPECT_FALSE(loader.finished(result)) << "a result is handed out once";

    // A failed read says why, and the loader reads again when asked.
    writeFile(dir.path("music.ogg"), "not music");
    loader.start();
    while (!loader.finished(result) && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_EQ(result.track, nullptr);
    EXPECT_NE(result.error.find("cannot load the music"), std::string::npos) << result.error;
}
