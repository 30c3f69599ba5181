#include "ClickTrack.h"

#include "MonitorRecorder.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int kClicksPerSecond = 10;
constexpr int16_t kLevel = 16000;
constexpr int kShort = ClickTrack::kRate * 2 / 1000; // samples: 2 ms
constexpr int kLong = ClickTrack::kRate * 8 / 1000;  // 8 ms
// Finding them: a click starts where the sound rises above kThreshold after
// at least kQuiet samples below it, and is long when it stays above for
// more than kLongEnough of the next kLong samples.
constexpr int kThreshold = kLevel / 4;
constexpr int kQuiet = ClickTrack::kRate * 20 / 1000;
constexpr int kLongEnough = (kShort + kLong) / 2;
// A click this much later than the track's pace came after the sink ran dry.
constexpr double kLate = 0.002;

void put16(std::vector<uint8_t>& out, uint16_t value)
{
    out.push_back(static_cast<uint8_t>(value & 0xff));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

void put32(std::vector<uint8_t>& out, uint32_t value)
{
    put16(out, static_cast<uint16_t>(value & 0xffff));
    put16(out, static_cast<uint16_t>(value >> 16));
}

} // namespace

std::vector<uint8_t> ClickTrack::wav(double seconds)
{
    const size_t frames = static_cast<size_t>(seconds * kRate);
    std::vector<int16_t> mono(frames, 0);
    for (long k = 0;; ++k) {
        const size_t start = static_cast<size_t>(std::llround(k * kEvery * kRate));
        if (start >= frames)
            break;
        const size_t length = k % kClicksPerSecond == 0 ? kLong : kShort;
        for (size_t i = start; i < start + length && i < frames; ++i)
            mono[i] = kLevel;
    }
    std::vector<uint8_t> out;
    const uint32_t dataBytes = static_cast<uint32_t>(frames * 4);
    out.reserve(44 + dataBytes);
    out.insert(out.end(), {'R', 'I', 'F', 'F'});
    put32(out, 36 + dataBytes);
    out.insert(out.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    put32(out, 16);
    put16(out, 1); // PCM
    put16(out, 2);
    put32(out, kRate);
    put32(out, kRate * 4);
    put16(out, 4);
    put16(out, 16);
    out.insert(out.end(), {'d', 'a', 't', 'a'});
    put32(out, dataBytes);
    for (const int16_t sample : mono) {
        put16(out, static_cast<uint16_t>(sample));
        put16(out, static_cast<uint16_t>(sample));
    }
    return out;
}

std::vector<ClickTrack::Click> ClickTrack::find(const std::vector<int16_t>& recording)
{
    std::vector<Click> clicks;
    size_t quiet = kQuiet;
    for (size_t i = 0; i < recording.size(); ++i) {
        if (std::abs(recording[i]) < kThreshold) {
            ++quiet;
            continue;
        }
        if (quiet >= static_cast<size_t>(kQuiet)) {
            int loud = 0;
            for (size_t j = i; j < i + kLong && j < recording.size(); ++j)
                loud += std::abs(recording[j]) >= kThreshold;
            clicks.push_back({static_cast<double>(i), loud > kLongEnough});
        }
        quiet = 0;
    }
    return clicks;
}

std::vector<double> ClickTrack::positions(const std::vector<Click>& clicks, const std::vector<double>& mixedWhenHeard)
{
    std::vector<double> result(clicks.size(), -1.0);
    long lastSecond = -2;
    size_t lastAt = 0;
    for (size_t i = 0; i < clicks.size() && i < mixedWhenHeard.size(); ++i) {
        if (!clicks[i].second)
            continue;
        const long second = static_cast<long>(std::floor(mixedWhenHeard[i]));
        result[i] = static_cast<double>(second);
        if (second == lastSecond + 1 && i - lastAt == kClicksPerSecond) {
            for (size_t j = lastAt + 1; j < i; ++j)
                result[j] = static_cast<double>(lastSecond) + static_cast<double>(j - lastAt) * kEvery;
        }
        lastSecond = second;
        lastAt = i;
    }
    return result;
}

HeardMusic ClickTrack::heard(const MonitorRecorder& recorder, const std::vector<MusicPlayhead::Mix>& mixes)
{
    const std::vector<Click> clicks = find(recorder.samples());
    std::vector<double> mixedWhenHeard;
    for (const Click& click : clicks) {
        const double at = recorder.timeOf(click.sample);
        const auto after = std::upper_bound(mixes.begin(), mixes.end(), at,
            [](double time, const MusicPlayhead::Mix& mix) { return time < mix.mixedAt; });
        mixedWhenHeard.push_back(after == mixes.begin() ? 0.0 : (after - 1)->mixed);
    }
    const std::vector<double> placed = positions(clicks, mixedWhenHeard);
    // Where the next click came late the sink ran dry in between, at a
    // moment the recording does not tell.
    HeardMusic music;
    for (size_t i = 0; i < clicks.size(); ++i) {
        if (placed[i] < 0.0)
            continue;
        const bool late = i + 1 < clicks.size() && clicks[i + 1].sample - clicks[i].sample > (kEvery + kLate) * kRate;
        music.add(recorder.timeOf(clicks[i].sample), placed[i], late ? -1.0 : kEvery);
    }
    return music;
}
