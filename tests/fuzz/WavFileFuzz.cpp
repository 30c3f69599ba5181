// Fuzz target: any bytes as a WAVE file of the sound tools (the stems the
// mix reads, the mix the encoder reads), which either read as whole frames
// of finite samples at a rate and channel count in range, or are refused
// with the file named.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>

#include "WavFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::string path = "stems/music.wav";
    try {
        const Audio audio = parseWav(bytes, path);
        if (audio.channels < 1 || audio.channels > kMaxChannels || audio.sampleRate < 1
            || audio.sampleRate > kMaxSampleRate || audio.samples.size() % audio.channels != 0
            || audio.samples.size() > size)
            __builtin_trap();
        for (const float sample : audio.samples)
            if (!std::isfinite(sample))
                __builtin_trap();
    } catch (const std::runtime_error& e) {
        const std::string message = e.what();
        if (message.compare(0, path.size() + 2, path + ": ") != 0 || message.size() == path.size() + 2)
            __builtin_trap();
    }
    return 0;
}
