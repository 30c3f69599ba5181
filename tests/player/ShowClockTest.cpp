// The player's clock against a simulated music stream: positions that move
// in steps of one audio buffer, each with the wall time of its mix, seen by
// frames at 60 Hz.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "app/ShowClock.h"

namespace {

constexpr double kBuffer = 2048.0 / 44100.0; // seconds of music per buffer
constexpr double kFrame = 1.0 / 60.0;

// A music stream started at wall time 0 from `start`, running `rate` times
// faster than the wall clock, whose position moves one buffer at a time.
struct Music {
    double start;
    double rate;

    // The number of buffers mixed by wall time `now`.
    double mixes(double now) const { return std::floor(now * rate / kBuffer); }
    // The position the mixer reports at wall time `now`.
    double reported(double now) const { return start + mixes(now) * kBuffer; }
    // The wall time of the mix that moved the music to that position.
    double mixedAt(double now) const { return mixes(now) * kBuffer / rate; }
    // Where the music really is at `now`.
    double exact(double now) const { return start + now * rate; }
};

} // namespace

TEST(ShowClock, follows_music_that_runs_fast_where_the_tick_clock_drifts_away)
{
    for (double rate : {1.0, 1.002, 1.0055, 0.997}) {
        SCOPED_TRACE(rate);
        const Music music{0.0, rate};
        ShowClock clock;
        clock.seek(0.0, 0.0);
        double worst = 0.0;
        double previous = 0.0;
        for (double now = kFrame; now < 290.0; now += kFrame) {
            const double time = clock.frameTime(now, music.reported(now), music.mixedAt(now));
            ASSERT_GE(time, previous) << "never backwards, at " << now;
            previous = time;
            if (now > 1.0)
                worst = std::max(worst, std::abs(time - music.exact(now)));
        }
        EXPECT_LT(worst, 0.001) << "on the music everywhere";
        if (rate != 1.0) {
            EXPECT_GT(std::abs(music.exact(290.0) - 290.0), 0.5) << "where the tick clock is far off";
        }
    }
}

TEST(ShowClock, a_frame_gets_the_time_at_which_its_swap_shows_it)
{
    // Drawing and swapping take 20 ms: a frame shows the time of its swap.
    const Music music{0.0, 1.0};
    ShowClock clock;
    clock.seek(0.0, 0.0);
    double worst = 0.0;
    for (double now = kFrame; now < 10.0; now += kFrame) {
        const double time = clock.frameTime(now, music.reported(now), music.mixedAt(now));
        clock.frameShown(now + 0.020);
        if (now > 1.0)
            worst = std::max(worst, std::abs(time - music.exact(now + 0.020)));
    }
    EXPECT_LT(worst, 0.001);
}

TEST(ShowClock, a_late_mix_now_and_then_does_not_move_the_picture)
{
    // A sound card's clock: the mixes come on time but now and then one is
    // noted up to 15 ms late (the audio thread woke late).
    const Music music{0.0, 1.0};
    ShowClock clock;
    clock.seek(0.0, 0.0);
    double worst = 0.0;
    for (double now = kFrame; now < 60.0; now += kFrame) {
        const double mix = music.mixes(now);
        const double late = static_cast<int>(mix) % 7 == 3 ? 0.015 : 0.0;
        const bool seen = now >= music.mixedAt(now) + late;
        const double position = (seen ? mix : mix - 1.0) * kBuffer;
        const double at = seen ? music.mixedAt(now) + late : (mix - 1.0) * kBuffer;
        const double time = clock.frameTime(now, position, at);
        if (now > 1.0)
            worst = std::max(worst, std::abs(time - music.exact(now)));
    }
    EXPECT_LT(worst, 0.002);
}

TEST(ShowClock, a_position_from_before_a_seek_is_not_heard)
{
    ShowClock clock;
    clock.seek(100.0, 10.0);
    // The last mix happened before the seek and still says 50 s.
    EXPECT_DOUBLE_EQ(clock.frameTime(10.01, 50.0, 9.99), 100.01);
    // The first mix after it says where the music went.
    EXPECT_NEAR(clock.frameTime(10.05, 100.05, 10.04), 100.06, 1e-9);
}

TEST(ShowClock, seek_pause_speed_and_silence)
{
    ShowClock clock;
    clock.seek(100.0, 10.0);
    EXPECT_DOUBLE_EQ(clock.frameTime(11.0, -1.0, 0.0), 101.0) << "silent: the wall clock";

    clock.setPaused(true, 11.5);
    EXPECT_DOUBLE_EQ(clock.frameTime(15.0, -1.0, 0.0), 101.5) << "paused: held";
    clock.setPaused(false, 20.0);
    EXPECT_DOUBLE_EQ(clock.frameTime(21.0, -1.0, 0.0), 102.5) << "resumed where it held";

    clock.setSpeed(0.25, 21.0);
    EXPECT_DOUBLE_EQ(clock.frameTime(25.0, -1.0, 0.0), 103.5) << "a quarter of real time";

    clock.seek(50.0, 25.0);
    EXPECT_DOUBLE_EQ(clock.frameTime(25.0, -1.0, 0.0), 50.0) << "a seek may go back";
}

TEST(ShowClock, a_music_position_behind_the_clock_holds_it_instead_of_turning_it_back)
{
    ShowClock clock;
    clock.seek(10.0, 0.0);
    EXPECT_DOUBLE_EQ(clock.frameTime(1.0, -1.0, 0.0), 11.0);
    // The music turns out to be 0.1 s behind: the clock waits for it.
    EXPECT_DOUBLE_EQ(clock.frameTime(1.01, 10.91, 1.0), 11.0);
    EXPECT_NEAR(clock.frameTime(1.2, 10.91, 1.0), 11.11, 1e-9);
}

TEST(ShowClock, a_stalled_music_stream_stalls_the_clock_soon_after)
{
    ShowClock clock;
    clock.seek(0.0, 0.0);
    const Music music{0.0, 1.0};
    double now = 0.0;
    for (; now < 5.0; now += kFrame)
        clock.frameTime(now, music.reported(now), music.mixedAt(now));
    // The audio thread gets no time for half a second: the position stays.
    const double stuck = music.reported(now);
    const double stuckAt = music.mixedAt(now);
    double time = 0.0;
    for (const double stallEnd = now + 0.5; now < stallEnd; now += kFrame)
        time = clock.frameTime(now, stuck, stuckAt);
    EXPECT_LE(time, stuck + ShowClock::kMaxLeadSteps * kBuffer + 1e-9) << "held near the music, not half a second on";
}
