// The show times of the frames of one run, in the order they are drawn.
// A range's times come from the frame index (from + i / fps), never from a
// running sum, so frame 8595 at 30 fps is at exactly 286.5 s, not near it.
#pragma once

#include <vector>

class FrameSchedule {
public:
    // Most frames one run may hold (a day and more at 100 fps).
    static constexpr long long kMaxFrames = 10000000;

    // How much of a frame a range may fall short of its end and still count
    // that end as reached: (0.3 - 0.1) * 10 is 1.9999999999999998, not 2.
    static constexpr double kFrameTolerance = 1e-6;

    // Frames of the range from `from` to `to` at `fps`, both ends included
    // when they fall on a frame: floor((to - from) * fps) + 1. Returns -1 when
    // the range is empty (to < from), fps is not positive, or a value is not
    // finite; kMaxFrames + 1 for any count above kMaxFrames.
    static long long rangeCount(double from, double to, double fps);

    // The frames at the given times, in the given order.
    static FrameSchedule fromTimes(const std::vector<double>& times);
    // The frames at from, from + 1/fps, ... up to `to`. Needs a range whose
    // rangeCount is between 1 and kMaxFrames.
    static FrameSchedule fromRange(double from, double to, double fps);

    std::size_t size() const;
    // Show time of frame `index`.
    double timeAt(std::size_t index) const;

private:
    std::vector<double> times;
    bool isRange = false;
    double from = 0.0;
    double fps = 0.0;
    std::size_t count = 0;
};
