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

// Writes `audio` as a WAVE file; 16-bit output is rounded and clamped to
// the 16-bit range. Throws std::runtime_error naming the file on failure.
void writeWav(const std::string& path, const Audio& audio, WavEncoding encoding);
