// Reading and writing RIFF WAVE files: 16-bit PCM and 32-bit float, any
// channel count, samples as interleaved floats. Nothing else of the format
// (compressed data, extensible headers with odd sample types) is read.
#pragma once

#include <string>
#include <vector>

struct Audio {
    int sampleRate = 44100;
    int channels = 1;
    std::vector<float> samples; // interleaved, frames × channels

    // Number of frames (samples per channel).
    size_t frames() const { return channels > 0 ? samples.size() / channels : 0; }
};

enum class WavEncoding { Pcm16, Float32 };

// Reads a WAVE file; throws std::runtime_error naming the file when it does
// not open or is not 16-bit PCM or 32-bit float.
Audio readWav(const std::string& path);

// Reads the bytes of a WAVE file named `path`; throws std::runtime_error
// starting "path: " when they are not one readWav reads: a format chunk of
// 1 to kMaxChannels channels at 1 to kMaxSampleRate Hz, finite samples. A
// data chunk cut short is read as far as it goes, in whole frames.
Audio parseWav(const std::string& bytes, const std::string& path);

constexpr int kMaxChannels = 64;
constexpr int kMaxSampleRate = 768000;

// Writes `audio` as a WAVE file; 16-bit output is rounded and clamped to
// the 16-bit range. Throws std::runtime_error naming the file on failure.
void writeWav(const std::string& path, const Audio& audio, WavEncoding encoding);
