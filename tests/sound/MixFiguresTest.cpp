#include "MixFigures.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr int kRate = 44100;

// A mono tone of `amplitude` at 440 Hz over [from, to) seconds of `seconds`.
Audio tone(double amplitude, double seconds, double from = 0.0, double to = 1e9)
{
    Audio audio;
    audio.samples.assign(size_t(seconds * kRate), 0.0f);
    for (size_t i = 0; i < audio.samples.size(); ++i) {
        double t = double(i) / kRate;
        if (t >= from && t < to)
            audio.samples[i] = float(amplitude * std::sin(2.0 * M_PI * 440.0 * t));
    }
    return audio;
}

TEST(MixFigures, voice_over_rest_counts_only_the_frames_in_which_the_voice_sounds)
{
    // The voice sounds from 1 to 2 s over a rest 20 dB under it; the rest is
    // loud where the voice is silent, which must not count.
    Audio voice = tone(0.1, 3.0, 1.0, 2.0), rest = tone(0.01, 3.0);
    for (size_t i = 0; i < size_t(kRate); ++i)
        rest.samples[i] = voice.samples[i + size_t(kRate)] * 10.0f;
    EXPECT_NEAR(voiceOverRest(voice, voice, rest, 0.0, 3.0), 20.0, 0.1);
    EXPECT_EQ(voiceOverRest(voice, voice, rest, 2.1, 3.0), 0.0) << "no voice, no figure";
}

TEST(MixFigures, gain_rise_reads_the_music_against_its_source)
{
    // The mixed music dips 8 dB, comes up 4 dB in the gap and goes down again.
    Audio source = tone(0.1, 3.0), mixed = source;
    for (size_t i = 0; i < mixed.samples.size(); ++i) {
        double t = double(i) / kRate, decibels = t >= 1.0 && t < 2.0 ? -4.0 : -8.0;
        mixed.samples[i] = float(mixed.samples[i] * std::pow(10.0, decibels / 20.0));
    }
    EXPECT_NEAR(gainRise(mixed, source, 0.5, 2.5), 4.0, 0.05);
    EXPECT_NEAR(gainRise(mixed, source, 1.5, 2.5), 0.0, 0.05) << "a fall is no rise";
}

TEST(MixFigures, words_per_second_counts_words_as_a_listener_does)
{
    const std::pair<const char*, size_t> cases[] = {
        {"I'm on my way.", 4}, {"Triple! Undo! Undo!", 3}, {"  ", 0}, {"Byte Bazaar - no refunds", 4}};
    for (const auto& [text, words] : cases) {
        SCOPED_TRACE(text);
        EXPECT_EQ(wordCount(text), words);
        EXPECT_DOUBLE_EQ(wordsPerSecond(text, 10.0, 12.0), double(words) / 2.0);
    }
}

} // namespace
