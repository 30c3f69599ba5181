// The music's playhead on SDL's dummy audio driver, which mixes for real and
// keeps time by its own sleeps: positions move by whole buffers from where
// the music was started, at about the pace of the wall clock.
#include <SDL.h>
#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "app/MusicPlayhead.h"
#include "support/TestFiles.h"

namespace {

constexpr double kBuffer = 2048.0 / 44100.0;

class MusicPlayheadTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(writeToneOgg(dir.path("music.ogg"), 20.0));
        SDL_setenv("SDL_AUDIODRIVER", "dummy", 1);
        ASSERT_EQ(SDL_Init(SDL_INIT_AUDIO), 0) << SDL_GetError();
        ASSERT_EQ(Mix_OpenAudio(44100, AUDIO_S16LSB, 2, 2048), 0) << Mix_GetError();
        music = Mix_LoadMUS(dir.path("music.ogg").c_str());
        ASSERT_NE(music, nullptr) << Mix_GetError();
    }

    void TearDown() override
    {
        if (music)
            Mix_FreeMusic(music);
        Mix_CloseAudio();
        SDL_Quit();
    }

    // Waits until the playhead has seen at least `count` mixes since `from`.
    MusicPlayhead::Mix waitForMixes(const MusicPlayhead& playhead, double from, int count)
    {
        for (int tries = 0; tries < 400; ++tries) {
            const MusicPlayhead::Mix mix = playhead.last();
            if (mix.position >= from + (count - 0.5) * kBuffer)
                return mix;
            SDL_Delay(5);
        }
        ADD_FAILURE() << "no mix came";
        return {0.0, -1.0, 0.0, -1.0};
    }

    // How many whole buffers `position` is past `from`, and how far off that.
    static double buffersOff(double position, double from)
    {
        const double buffers = (position - from) / kBuffer;
        return std::abs(buffers - std::round(buffers));
    }

    TempDir dir;
    Mix_Music* music = nullptr;
};

} // namespace

TEST_F(MusicPlayheadTest, moves_by_whole_buffers_from_where_the_music_started_at_the_wall_clocks_pace)
{
    MusicPlayhead playhead;
    std::vector<MusicPlayhead::Mix> mixes(64);
    playhead.record(&mixes);
    EXPECT_LT(playhead.last().position, 0.0) << "nothing mixed yet";

    ASSERT_TRUE(playhead.play(music, 12.5)) << Mix_GetError();
    const MusicPlayhead::Mix first = waitForMixes(playhead, 12.5, 1);
    const MusicPlayhead::Mix later = waitForMixes(playhead, 12.5, 8);
    EXPECT_LT(buffersOff(first.position, 12.5), 1e-9);
    EXPECT_LT(buffersOff(later.position, 12.5), 1e-9);
    // What is heard is a buffer behind what is mixed: the driver plays the
    // buffer just mixed while it waits for the next.
    EXPECT_NEAR(later.mixed - later.position, kBuffer, 1e-9);
    // The dummy driver sleeps a buffer's length between mixes, so over seven
    // buffers the position keeps the wall clock's pace. The margin allows a
    // busy machine waking the audio thread a buffer late; counting bytes or
    // both channels as samples would still be far outside it.
    const double pace = (later.position - first.position) / (later.at - first.at);
    EXPECT_NEAR(pace, 1.0, 0.25);

    // A seek back starts again from the new position; nothing of the old
    // one comes after it.
    ASSERT_TRUE(playhead.play(music, 2.0)) << Mix_GetError();
    const MusicPlayhead::Mix again = waitForMixes(playhead, 2.0, 2);
    EXPECT_LT(again.position, 3.0);
    EXPECT_LT(buffersOff(again.position, 2.0), 1e-9);

    playhead.stop();
    EXPECT_LT(playhead.last().position, 0.0) << "stopped";
    playhead.record(nullptr);
    int recorded = 0;
    for (const MusicPlayhead::Mix& mix : mixes)
        recorded += mix.at > 0.0;
    EXPECT_GE(recorded, 10) << "every mix noted";
}
