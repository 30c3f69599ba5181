#include "Loudness.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

Audio sine(double frequency, double amplitude, int channels, int loudChannel, double seconds)
{
    Audio audio;
    audio.sampleRate = 44100;
    audio.channels = channels;
    size_t frames = size_t(seconds * audio.sampleRate);
    audio.samples.assign(frames * size_t(channels), 0.0f);
    for (size_t i = 0; i < frames; ++i) {
        float s = float(amplitude * std::sin(2.0 * M_PI * frequency * double(i) / audio.sampleRate));
        for (int c = 0; c < channels; ++c)
            if (loudChannel < 0 || c == loudChannel)
                audio.samples[i * size_t(channels) + size_t(c)] = s;
    }
    return audio;
}

TEST(Loudness, full_scale_1khz_sine_in_one_channel_reads_minus_3_lufs)
{
    EXPECT_NEAR(integratedLoudness(sine(997.0, 1.0, 2, 0, 5.0)), -3.01, 0.1);
    EXPECT_NEAR(integratedLoudness(sine(997.0, 1.0, 1, 0, 5.0)), -3.01, 0.1);
}

TEST(Loudness, scales_with_gain_and_counts_both_channels)
{
    double oneChannel = integratedLoudness(sine(997.0, 0.1, 2, 0, 5.0));
    EXPECT_NEAR(oneChannel, -23.01, 0.1);
    EXPECT_NEAR(integratedLoudness(sine(997.0, 0.1, 2, -1, 5.0)), oneChannel + 3.01, 0.05);
}

TEST(Loudness, gates_out_silence_between_sounds)
{
    Audio tone = sine(997.0, 0.1, 2, -1, 4.0);
    Audio gapped = tone;
    gapped.samples.resize(tone.samples.size() * 3, 0.0f); // 4 s of tone, then 8 s of silence
    EXPECT_NEAR(integratedLoudness(gapped), integratedLoudness(tone), 0.2);
}

TEST(Loudness, true_peak_finds_the_crest_between_samples)
{
    // A quarter of the sample rate, sampled 45 degrees off its crests: every
    // sample is at 0.707, the wave the converter rebuilds reaches 1.
    Audio wave = sine(11025.0, 1.0, 1, 0, 1.0);
    for (size_t i = 0; i < wave.samples.size(); ++i)
        wave.samples[i] = float(std::sin(M_PI / 2.0 * double(i) + M_PI / 4.0));
    EXPECT_NEAR(samplePeak(wave), 0.707f, 1e-3f);
    EXPECT_NEAR(truePeak(wave), 1.0f, 0.02f);
}

TEST(Loudness, silence_reads_minus_70_and_peaks_are_absolute)
{
    Audio silence = sine(997.0, 0.0, 2, -1, 2.0);
    EXPECT_LE(integratedLoudness(silence), -70.0);
    Audio tone = sine(250.0, 0.5, 2, -1, 1.0);
    for (float& s : tone.samples)
        s = -s;
    EXPECT_NEAR(samplePeak(tone), 0.5f, 1e-3f);
}

} // namespace
