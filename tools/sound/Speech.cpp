#include "Speech.h"

#include <algorithm>
#include <cmath>

namespace {

double frameDecibels(const float* first, size_t count)
{
    double energy = 0.0;
    for (size_t i = 0; i < count; ++i)
        energy += double(first[i]) * first[i];
    return 10.0 * std::log10(std::max(energy / double(std::max<size_t>(count, 1)), 1e-20));
}

size_t frameLength(int rate)
{
    return size_t(std::lround(kSpeechFrameSeconds * rate));
}

} // namespace

std::vector<bool> soundingFrames(const float* first, size_t count, int rate)
{
    const size_t frame = frameLength(rate);
    std::vector<bool> sounding;
    for (size_t i = 0; i < count; i += frame)
        sounding.push_back(frameDecibels(first + i, std::min(frame, count - i)) >= kSoundingDecibels);
    return sounding;
}

double soundingShare(const std::vector<float>& mono, int rate, double start, double end)
{
    size_t from = std::min(mono.size(), size_t(std::max(0.0, std::round(start * rate))));
    size_t to = std::min(mono.size(), size_t(std::max(0.0, std::round(end * rate))));
    if (to <= from)
        return 0.0;
    std::vector<bool> frames = soundingFrames(mono.data() + from, to - from, rate);
    return double(std::count(frames.begin(), frames.end(), true)) / double(frames.size());
}

std::vector<double> soundingLevels(const float* first, size_t count, int rate)
{
    const size_t frame = frameLength(rate);
    std::vector<double> levels;
    for (size_t i = 0; i < count; i += frame) {
        double level = frameDecibels(first + i, std::min(frame, count - i));
        if (level >= kSoundingDecibels)
            levels.push_back(level);
    }
    return levels;
}

std::vector<std::pair<double, double>> soundingSpans(const std::vector<float>& mono, int rate, double minimumPause,
                                                     double minimumSpan, double joinPause)
{
    std::vector<bool> frames = soundingFrames(mono.data(), mono.size(), rate);
    const double seconds = double(frameLength(rate)) / rate;
    const size_t pauseFrames = size_t(std::ceil(minimumPause / seconds - 1e-9));
    std::vector<std::pair<double, double>> spans;
    size_t k = 0;
    while (k < frames.size()) {
        while (k < frames.size() && !frames[k])
            ++k;
        if (k == frames.size())
            break;
        size_t begin = k, lastSounding = k;
        while (k < frames.size() && k - lastSounding < pauseFrames) {
            if (frames[k])
                lastSounding = k;
            ++k;
        }
        double end = std::min(double(lastSounding + 1) * seconds, double(mono.size()) / rate);
        spans.push_back({double(begin) * seconds, end});
        k = lastSounding + 1;
        while (k < frames.size() && !frames[k])
            ++k;
    }
    for (size_t i = 0; i < spans.size();) {
        if (spans[i].second - spans[i].first >= minimumSpan) {
            ++i;
            continue;
        }
        double before = i > 0 ? spans[i].first - spans[i - 1].second : 1e9;
        double after = i + 1 < spans.size() ? spans[i + 1].first - spans[i].second : 1e9;
        if (std::min(before, after) >= joinPause) {
            ++i;
            continue;
        }
        size_t into = before <= after ? i - 1 : i + 1;
        spans[into] = {std::min(spans[into].first, spans[i].first), std::max(spans[into].second, spans[i].second)};
        spans.erase(spans.begin() + long(i));
        i = 0;
    }
    return spans;
}
