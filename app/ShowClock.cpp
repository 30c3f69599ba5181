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
    lastPositionTime = 0.0;
    lastStep = 0.0;
    measured = 0;
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

double ShowClock::frameTime(double now, double musicPosition, double positionTime)
{
    readAt = now;
    if (musicPosition < 0.0) {
        if (lastPosition >= 0.0)
            rebase(now); // the music stopped keeping time: go on from here
    } else if (positionTime >= baseNow && positionTime != lastPositionTime) {
        // A mix moved the music on.
        if (lastPosition >= 0.0 && musicPosition > lastPosition)
            lastStep = musicPosition - lastPosition;
        lastPosition = musicPosition;
        lastPositionTime = positionTime;
        offsets[measured++ % kOffsets] = musicPosition - estimate(positionTime);
        const double a = offsets[0];
        const double b = offsets[1];
        const double c = offsets[2];
        // The median of the last three; before there are three, the latest.
        offset = measured >= kOffsets ? std::max(std::min(a, b), std::min(std::max(a, b), c))
                                      : offsets[measured - 1];
    }
    double time = estimate(now + delay) + offset;
    if (lastPosition >= 0.0 && lastStep > 0.0)
        time = std::min(time, lastPosition + kMaxLeadSteps * lastStep + delay);
    last = std::max(last, time);
    return last;
}

void ShowClock::frameShown(double now)
{
    if (readAt < 0.0 || now < readAt)
        return;
    delays[shown++ % kDelays] = now - readAt;
    readAt = -1.0;
    const int n = std::min(shown, kDelays);
    double sorted[kDelays];
    std::copy(delays, delays + n, sorted);
    std::nth_element(sorted, sorted + n / 2, sorted + n);
    delay = sorted[n / 2];
}
