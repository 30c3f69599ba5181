// mix-soundtrack run as the content build runs it, on stems a maker might
// hand it.
#include "TestFiles.h"
#include "ToolRun.h"
#include "WavFile.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr int kRate = 44100;

// `seconds` of a 220 Hz tone at a quarter of full scale on every channel.
Audio tone(int channels, double seconds)
{
    Audio audio;
    audio.channels = channels;
    for (size_t i = 0; i < size_t(seconds * kRate); ++i)
        for (int c = 0; c < channels; ++c)
            audio.samples.push_back(float(0.25 * std::sin(2.0 * 3.14159265358979 * 220.0 * double(i) / kRate)));
    return audio;
}

// The RMS of channel 0 from `from` to `to` seconds, in dB.
double levelOf(const Audio& audio, double from, double to)
{
    double energy = 0.0;
    const size_t a = size_t(from * kRate), b = size_t(to * kRate);
    for (size_t i = a; i < b; ++i)
        energy += double(audio.samples[i * size_t(audio.channels)]) * audio.samples[i * size_t(audio.channels)];
    return 10.0 * std::log10(energy / double(b - a));
}

TEST(MixSoundtrack, a_screenplay_without_lines_mixes_the_music_without_dips)
{
    TempDir dir;
    writeWav(dir.path("music.wav"), tone(2, 4.0), WavEncoding::Float32);
    Audio silence;
    silence.samples.assign(size_t(4.0 * kRate), 0.0f);
    writeWav(dir.path("voices.wav"), silence, WavEncoding::Float32);
    writeFile(dir.path("lines.tsv"), "");
    const ToolRun run = runTool({QUORVANE_MIX_SOUNDTRACK, dir.path("music.wav"), dir.path("voices.wav"),
                                 dir.path("lines.tsv"), dir.path("mix.wav"), "4"});
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_NE(run.errors.find("mix-soundtrack: no lines, so no dips"), std::string::npos) << run.errors;
    const Audio mix = readWav(dir.path("mix.wav"));
    ASSERT_EQ(mix.frames(), size_t(4 * kRate));
    EXPECT_NEAR(levelOf(mix, 0.5, 1.5), levelOf(mix, 2.0, 3.0), 0.1);
}

TEST(MixSoundtrack, a_stem_that_does_not_read_as_sound_is_refused_with_its_file_named)
{
    TempDir dir;
    Audio silence;
    silence.samples.assign(size_t(2.0 * kRate), 0.0f);
    writeWav(dir.path("voices.wav"), silence, WavEncoding::Float32);
    writeFile(dir.path("lines.tsv"), "");
    Audio broken = tone(2, 2.0);
    broken.samples[1001] = std::nanf("");
    writeWav(dir.path("not-a-number.wav"), broken, WavEncoding::Float32);
    Audio still = tone(2, 2.0);
    still.sampleRate = 0;
    writeWav(dir.path("no-rate.wav"), still, WavEncoding::Pcm16);
    Audio none = tone(1, 2.0);
    none.channels = 0;
    writeWav(dir.path("no-channels.wav"), none, WavEncoding::Float32);
    writeFile(dir.path("text.wav"), "RIFF");
    const struct {
        const char* music;
        const char* message;
    } cases[] = {
        {"not-a-number.wav", "not-a-number.wav: sample 1001 is not a finite number\n"},
        {"no-rate.wav", "no-rate.wav: a sample rate of 0 Hz, where 1 to 768000 Hz are read\n"},
        {"no-channels.wav", "no-channels.wav: 0 channels, where 1 to 64 are read\n"},
        {"text.wav", "text.wav: not a WAVE file\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.music);
        const ToolRun run = runTool({QUORVANE_MIX_SOUNDTRACK, dir.path(c.music), dir.path("voices.wav"),
                                     dir.path("lines.tsv"), dir.path("mix.wav"), "2"});
        EXPECT_EQ(run.exitCode, 1) << run.errors;
        EXPECT_EQ(run.errors, "mix-soundtrack: " + dir.path(c.message)) << run.errors;
    }
}

} // namespace
