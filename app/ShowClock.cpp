#include "ShowClock.h"

#include <algorithm>

double ShowClock::estimate(double now) const
{
    return isPaused ? baseTime : baseTime + (now - baseNow) * rate;
}

void ShowClock::seek(double time, double now)
{
    baseTime = time;
    baseNow = now;
    last = time;
    lastPosition = -1.0;
    lastStep = 0.0;
    offsets.clear();
    offset = 0.0;
}

void ShowClock::rebase(double now)
{
    seek(std::max(last, estimate(now) + offset), now);
}

void ShowClock::setPaused(bool paused, double now)
{
    if (paused == isPaused)
        return;
    rebase(now);
    isPaused = paused;
}

void ShowClock::setSpeed(double speed, double now)
{
    rebase(now);
    rate = speed;
}

double ShowClock::frameTime(double now, double musicPosition)
{
    if (musicPosition < 0.0) {
        if (lastPosition >= 0.0)
            rebase(now); // the music stopped keeping time: go on from here
    } else if (musicPosition != lastPosition) {
        // A new buffer began at most one frame ago, so the measured offset
        // is at most one frame short of the true one: keep the largest.
        if (lastPosition >= 0.0 && musicPosition > lastPosition)
            lastStep = musicPosition - lastPosition;
        lastPosition = musicPosition;
        offsets.emplace_back(now, musicPosition - estimate(now));
        while (offsets.front().first < now - followWindow)
            offsets.pop_front();
        offset = offsets.front().second;
        for (const auto& measured : offsets)
            offset = std::max(offset, measured.second);
    }
    double time = estimate(now) + offset;
    if (musicPosition >= 0.0 && lastStep > 0.0)
        time = std::min(time, lastPosition + kMaxLeadSteps * lastStep);
    last = std::max(last, time);
    return last;
}
