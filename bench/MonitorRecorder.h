// Records what a PulseAudio sink plays, through its monitor source, on a
// thread of its own, and tells the wall time at which each recorded sample
// left the sink. The server reports, with every read, how long ago the next
// sample to read was played (negative while it is not played yet: a monitor
// receives samples as the sink takes them up); a straight line through
// those reports against the sample count maps samples to wall time, and how
// far the reports lie from it says how exact the mapping is. Plays nothing.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct pa_context;
struct pa_stream;
struct pa_threaded_mainloop;

class MonitorRecorder {
public:
    // Starts recording `source` from the server PULSE_SERVER names (or the
    // default one), mono at ClickTrack::kRate. Throws std::runtime_error
    // naming the source when it cannot.
    explicit MonitorRecorder(const std::string& source);
    ~MonitorRecorder();
    MonitorRecorder(const MonitorRecorder&) = delete;
    MonitorRecorder& operator=(const MonitorRecorder&) = delete;

    // Stops recording and fits the line; after this the recording can be
    // read.
    void stop();

    const std::vector<int16_t>& samples() const { return recording; }
    // The wall time (seconds of SDL's fine counter) at which sample `index`
    // left the sink.
    double timeOf(double index) const { return origin + index * pace; }
    // How far the server's reports lie from the line: the median, seconds,
    // and the share within a millisecond (the first reports, before the
    // server's first timing update, are far off); and how many there were.
    double medianMiss() const { return median; }
    double shareWithinMillisecond() const { return withinMillisecond; }
    size_t reports() const { return readings.size(); }

private:
    struct Reading {
        double sample; // samples recorded before it
        double at;     // wall time at which that sample was played
    };

    static void contextChanged(pa_context* context, void* self);
    static void streamChanged(pa_stream* stream, void* self);
    static void readable(pa_stream* stream, size_t bytes, void* self);
    // Fits the line through `readings`, leaving out reports far off it.
    void fit();

    std::string source;
    pa_threaded_mainloop* loop = nullptr;
    pa_context* context = nullptr;
    pa_stream* stream = nullptr;
    bool stopped = false;
    std::vector<int16_t> recording;
    std::vector<Reading> readings;
    double origin = 0.0;
    double pace = 0.0;
    double median = 0.0;
    double withinMillisecond = 0.0;
};
