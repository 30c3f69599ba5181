#include "WavFile.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <stdexcept>

namespace {

uint32_t readU32(const unsigned char* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t(p[3]) << 24); }
uint16_t readU16(const unsigned char* p) { return uint16_t(p[0] | (p[1] << 8)); }

void putU32(std::string& out, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(char((v >> (8 * i)) & 0xff));
}

void putU16(std::string& out, uint16_t v)
{
    out.push_back(char(v & 0xff));
    out.push_back(char(v >> 8));
}

} // namespace

Audio readWav(const std::string& path)
{
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    if (!file)
        throw std::runtime_error(path + ": cannot open");
    std::string bytes(size_t(std::max<std::streamoff>(0, file.tellg())), '\0');
    file.seekg(0);
    if (!file.read(bytes.data(), std::streamsize(bytes.size())))
        throw std::runtime_error(path + ": cannot read");
    return parseWav(bytes, path);
}

Audio parseWav(const std::string& bytes, const std::string& path)
{
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    if (bytes.size() < 12 || std::memcmp(data, "RIFF", 4) != 0 || std::memcmp(data + 8, "WAVE", 4) != 0)
        throw std::runtime_error(path + ": not a WAVE file");

    Audio audio;
    int format = 0, bits = 0;
    bool haveFormat = false;
    size_t pos = 12;
    while (pos + 8 <= bytes.size()) {
        size_t size = readU32(data + pos + 4);
        const unsigned char* body = data + pos + 8;
        if (size > bytes.size() - pos - 8)
            size = bytes.size() - pos - 8;
        if (std::memcmp(data + pos, "fmt ", 4) == 0 && size >= 16) {
            format = readU16(body);
            const int channels = readU16(body + 2);
            const uint32_t rate = readU32(body + 4);
            bits = readU16(body + 14);
            if (format == 0xfffe && size >= 26)
                format = readU16(body + 24); // extensible: the sub-format's first two bytes
            if (channels < 1 || channels > kMaxChannels)
                throw std::runtime_error(path + ": " + std::to_string(channels) + " channels, where 1 to "
                    + std::to_string(kMaxChannels) + " are read");
            if (rate < 1 || rate > uint32_t(kMaxSampleRate))
                throw std::runtime_error(path + ": a sample rate of " + std::to_string(rate) + " Hz, where 1 to "
                    + std::to_string(kMaxSampleRate) + " Hz are read");
            audio.channels = channels;
            audio.sampleRate = int(rate);
            haveFormat = true;
        } else if (std::memcmp(data + pos, "data", 4) == 0) {
            if (!haveFormat)
                throw std::runtime_error(path + ": data before format");
            const size_t frameBytes = size_t(audio.channels) * (bits / 8);
            if (format == 1 && bits == 16) {
                const size_t n = size / frameBytes * audio.channels;
                audio.samples.resize(n);
                for (size_t i = 0; i < n; ++i)
                    audio.samples[i] = int16_t(readU16(body + 2 * i)) / 32768.0f;
            } else if (format == 3 && bits == 32) {
                const size_t n = size / frameBytes * audio.channels;
                audio.samples.resize(n);
                if (n > 0)
                    std::memcpy(audio.samples.data(), body, n * 4);
                for (size_t i = 0; i < n; ++i)
                    if (!std::isfinite(audio.samples[i]))
                        throw std::runtime_error(path + ": sample " + std::to_string(i) + " is not a finite number");
            } else {
                throw std::runtime_error(path + ": only 16-bit PCM and 32-bit float are read");
            }
            return audio;
        }
        pos += 8 + size + (size & 1);
    }
    throw std::runtime_error(path + ": no data chunk");
}

void writeWav(const std::string& path, const Audio& audio, WavEncoding encoding)
{
    const bool pcm = encoding == WavEncoding::Pcm16;
    const uint16_t bytesPerSample = pcm ? 2 : 4;
    const uint32_t dataSize = uint32_t(audio.samples.size() * bytesPerSample);
    // Float data takes the 18-byte format chunk and a "fact" chunk.
    const uint32_t formatSize = pcm ? 16 : 18, factSize = pcm ? 0 : 12;
    std::string out;
    out.reserve(28 + formatSize + factSize + dataSize);
    out += "RIFF";
    putU32(out, 20 + formatSize + factSize + dataSize);
    out += "WAVEfmt ";
    putU32(out, formatSize);
    putU16(out, pcm ? 1 : 3);
    putU16(out, uint16_t(audio.channels));
    putU32(out, uint32_t(audio.sampleRate));
    putU32(out, uint32_t(audio.sampleRate) * audio.channels * bytesPerSample);
    putU16(out, uint16_t(audio.channels * bytesPerSample));
    putU16(out, uint16_t(8 * bytesPerSample));
    if (!pcm) {
        putU16(out, 0);
        out += "fact";
        putU32(out, 4);
        putU32(out, uint32_t(audio.frames()));
    }
    out += "data";
    putU32(out, dataSize);
    for (float s : audio.samples) {
        if (pcm) {
            long v = std::lround(double(s) * 32768.0);
            v = v < -32768 ? -32768 : (v > 32767 ? 32767 : v);
            putU16(out, uint16_t(int16_t(v)));
        } else {
            uint32_t bits;
            std::memcpy(&bits, &s, 4);
            putU32(out, bits);
        }
    }
    std::ofstream file(path, std::ios::binary);
    file.write(out.data(), std::streamsize(out.size()));
    if (!file)
        throw std::runtime_error(path + ": cannot write");
}
