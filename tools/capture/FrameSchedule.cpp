#include "FrameSchedule.h"

#include <cmath>

long long FrameSchedule::rangeCount(double from, double to, double fps)
{
    if (!std::isfinite(from) || !std::isfinite(to) || !std::isfinite(fps) || fps <= 0.0 || to < from)
        return -1;
    const double steps = std::floor((to - from) * fps + kFrameTolerance);
    if (!(steps < static_cast<double>(kMaxFrames)))
        return kMaxFrames + 1;
    return static_cast<long long>(steps) + 1;
}

FrameSchedule FrameSchedule::fromTimes(const std::vector<double>& times)
{
    FrameSchedule schedule;
    schedule.times = times;
    schedule.count = times.size();
    return schedule;
}

FrameSchedule FrameSchedule::fromRange(double from, double to, double fps)
{
    FrameSchedule schedule;
    schedule.isRange = true;
    schedule.from = from;
    schedule.fps = fps;
    const long long frames = rangeCount(from, to, fps);
    schedule.count = frames > 0 && frames <= kMaxFrames ? static_cast<std::size_t>(frames) : 0;
    return schedule;
}

std::size_t FrameSchedule::size() const
{
    return count;
}

double FrameSchedule::timeAt(std::size_t index) const
{
    if (isRange)
        return from + static_cast<double>(index) / fps;
    return times[index];
}
