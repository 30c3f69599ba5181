// The speech band equaliser on tones and on a voice that speaks twice: the
// band where a voice carries its words gives way under it, the bass and the
// treble stay, and with the band left whole nothing changes but the phase.
#include "Loudness.h"
#include "SoundMath.h"
#include "SpeechBandEqualiser.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr int kRate = 44100;

Audio stereoTone(double hertz, double seconds)
{
    Audio audio{kRate, 2, {}};
    for (size_t i = 0; i < size_t(seconds * kRate); ++i)
        for (int c = 0; c < 2; ++c)
            audio.samples.push_back(float(0.25 * std::sin(2.0 * kPi * hertz * double(i) / kRate)));
    return audio;
}

// The RMS in dB of the second half of `audio` (the filters settled).
double settledLevel(const Audio& audio)
{
    double energy = 0.0;
    const size_t from = audio.samples.size() / 2;
    for (size_t i = from; i < audio.samples.size(); ++i)
        energy += double(audio.samples[i]) * audio.samples[i];
    return toDecibels(std::sqrt(energy / double(audio.samples.size() - from)));
}

} // namespace

TEST(SpeechBandEqualiser, turns_down_the_speech_band_and_leaves_bass_and_treble)
{
    const struct {
        double hertz;
        double least, most; // dB of change with the band 12 dB down
    } tones[] = {
        {60.0, -0.5, 0.5}, {1000.0, -12.5, -10.0}, {2000.0, -12.5, -9.0}, {12000.0, -0.5, 0.5},
    };
    for (const auto& tone : tones) {
        SCOPED_TRACE(tone.hertz);
        const Audio dry = stereoTone(tone.hertz, 0.5);
        Audio whole = dry, down = dry;
        SpeechBandEqualiser::apply(whole, std::vector<float>(whole.frames(), 1.0f));
        SpeechBandEqualiser::apply(down, std::vector<float>(down.frames(), float(fromDecibels(-12.0))));
        EXPECT_NEAR(settledLevel(whole), settledLevel(dry), 0.05) << "the band left whole";
        const double change = settledLevel(down) - settledLevel(dry);
        EXPECT_GE(change, tone.least);
        EXPECT_LE(change, tone.most);
    }
}

TEST(SpeechBandEqualiser, follows_the_voice_held_through_short_pauses)
{
    // The voice speaks from 1 s to 2 s and from 2.5 s to 3 s (a pause of
    // 0.5 s, held) and from 5 s to 5.5 s (after 2 s of silence).
    Audio voice{kRate, 1, std::vector<float>(size_t(7 * kRate), 0.0f)};
    for (auto [from, to] : {std::pair{1.0, 2.0}, {2.5, 3.0}, {5.0, 5.5}})
        for (size_t i = size_t(from * kRate); i < size_t(to * kRate); ++i)
            voice.samples[i] = float(0.1 * std::sin(2.0 * kPi * 220.0 * double(i) / kRate));
    const std::vector<float> gain =
        SpeechBandEqualiser::keyCurve(voice, voice.frames(), 12.0, 1.5, 0.15, 0.1, 0.08, 0.5);
    ASSERT_EQ(gain.size(), voice.frames());
    auto at = [&](double seconds) { return toDecibels(gain[size_t(seconds * kRate)]); };
    EXPECT_NEAR(at(0.5), 0.0, 1e-6) << "whole before the voice";
    EXPECT_NEAR(at(0.9), -12.0, 1e-3) << "down before the voice speaks";
    EXPECT_NEAR(at(1.5), -12.0, 1e-3);
    EXPECT_NEAR(at(2.25), -12.0, 1e-3) << "held through the short pause";
    EXPECT_NEAR(at(3.05), -12.0, 1e-3) << "held a little after the voice";
    EXPECT_NEAR(at(4.0), 0.0, 1e-6) << "whole again in the long silence";
    EXPECT_NEAR(at(5.2), -12.0, 1e-3);
    EXPECT_NEAR(at(6.5), 0.0, 1e-6);
    // The move down and up is smooth: no step of more than 0.1 dB a sample.
    for (size_t i = 1; i < gain.size(); ++i)
        ASSERT_LT(std::fabs(toDecibels(gain[i]) - toDecibels(gain[i - 1])), 0.1) << double(i) / kRate;
}

TEST(SpeechBandEqualiser, refuses_sound_of_the_wrong_shape)
{
    Audio mono{kRate, 1, std::vector<float>(100, 0.0f)};
    EXPECT_THROW(SpeechBandEqualiser::apply(mono, {}), std::invalid_argument);
    Audio stereo{kRate, 2, std::vector<float>(200, 0.0f)};
    EXPECT_THROW(SpeechBandEqualiser::keyCurve(stereo, 100, 12.0, 1.5, 0.15, 0.1, 0.08, 0.5), std::invalid_argument);
}
