#include "MonitorRecorder.h"

#include <pulse/pulseaudio.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "ClickTrack.h"
#include "app/MusicPlayhead.h"

namespace {

// Reads come about this often (bytes of the server's fragments).
constexpr uint32_t kFragment = ClickTrack::kRate / 200 * 2;
// A report further than this from the first line is left out of the second.
constexpr double kOutlier = 0.002;

} // namespace

MonitorRecorder::MonitorRecorder(const std::string& name)
    : source(name)
{
    recording.reserve(static_cast<size_t>(ClickTrack::kRate) * 600);
    loop = pa_threaded_mainloop_new();
    context = loop ? pa_context_new(pa_threaded_mainloop_get_api(loop), "quorvane-clock-bench recorder") : nullptr;
    if (!context)
        throw std::runtime_error("cannot start a PulseAudio client");
    pa_context_set_state_callback(context, &MonitorRecorder::contextChanged, this);
    if (pa_context_connect(context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0)
        throw std::runtime_error("no PulseAudio server: " + std::string(pa_strerror(pa_context_errno(context))));
    pa_threaded_mainloop_lock(loop);
    pa_threaded_mainloop_start(loop);
    while (pa_context_get_state(context) != PA_CONTEXT_READY && PA_CONTEXT_IS_GOOD(pa_context_get_state(context)))
        pa_threaded_mainloop_wait(loop);
    std::string failure;
    if (pa_context_get_state(context) != PA_CONTEXT_READY)
        failure = "no PulseAudio server: " + std::string(pa_strerror(pa_context_errno(context)));
    if (failure.empty()) {
        const pa_sample_spec format{PA_SAMPLE_S16LE, ClickTrack::kRate, 1};
        stream = pa_stream_new(context, "monitor", &format, nullptr);
        pa_buffer_attr attributes{};
        attributes.maxlength = static_cast<uint32_t>(-1);
        attributes.fragsize = kFragment;
        pa_stream_set_state_callback(stream, &MonitorRecorder::streamChanged, this);
        pa_stream_set_read_callback(stream, &MonitorRecorder::readable, this);
        const auto flags = static_cast<pa_stream_flags_t>(
            PA_STREAM_ADJUST_LATENCY | PA_STREAM_INTERPOLATE_TIMING | PA_STREAM_AUTO_TIMING_UPDATE);
        if (pa_stream_connect_record(stream, source.c_str(), &attributes, flags) == 0) {
            while (pa_stream_get_state(stream) == PA_STREAM_CREATING)
                pa_threaded_mainloop_wait(loop);
        }
        if (pa_stream_get_state(stream) != PA_STREAM_READY)
            failure = source + ": cannot record: " + pa_strerror(pa_context_errno(context));
    }
    pa_threaded_mainloop_unlock(loop);
    if (!failure.empty()) {
        stop();
        throw std::runtime_error(failure);
    }
}

MonitorRecorder::~MonitorRecorder()
{
    stop();
    if (stream)
        pa_stream_unref(stream);
    if (context)
        pa_context_unref(context);
    if (loop)
        pa_threaded_mainloop_free(loop);
}

void MonitorRecorder::stop()
{
    if (stopped || !loop)
        return;
    stopped = true;
    pa_threaded_mainloop_lock(loop);
    if (stream && pa_stream_get_state(stream) == PA_STREAM_READY)
        pa_stream_disconnect(stream);
    pa_context_disconnect(context);
    pa_threaded_mainloop_unlock(loop);
    pa_threaded_mainloop_stop(loop);
    fit();
}

void MonitorRecorder::contextChanged(pa_context*, void* self)
{
    pa_threaded_mainloop_signal(static_cast<MonitorRecorder*>(self)->loop, 0);
}

void MonitorRecorder::streamChanged(pa_stream*, void* self)
{
    pa_threaded_mainloop_signal(static_cast<MonitorRecorder*>(self)->loop, 0);
}

void MonitorRecorder::readable(pa_stream* stream, size_t, void* data)
{
    MonitorRecorder& self = *static_cast<MonitorRecorder*>(data);
    while (pa_stream_readable_size(stream) > 0) {
        const void* bytes = nullptr;
        size_t length = 0;
        if (pa_stream_peek(stream, &bytes, &length) < 0 || length == 0)
            break;
        const auto* samples = static_cast<const int16_t*>(bytes);
        if (samples)
            self.recording.insert(self.recording.end(), samples, samples + length / 2);
        else
            self.recording.resize(self.recording.size() + length / 2, 0); // a hole: the sink played nothing
        pa_stream_drop(stream);
    }
    pa_usec_t latency = 0;
    int negative = 0;
    const double now = MusicPlayhead::now();
    if (pa_stream_get_latency(stream, &latency, &negative) == 0) {
        const double ago = (negative ? -1.0 : 1.0) * static_cast<double>(latency) / 1e6;
        self.readings.push_back({static_cast<double>(self.recording.size()), now - ago});
    }
}

void MonitorRecorder::fit()
{
    pace = 1.0 / ClickTrack::kRate;
    origin = readings.empty() ? 0.0 : readings[0].at;
    // The reports come with every read and are mostly exact, but far off
    // until the server's first timing update, and now and then when a read
    // comes late. So: the median of each second's reports, and a line
    // through those medians that the far ones do not sway.
    std::vector<Reading> medians;
    for (size_t from = 0; from < readings.size();) {
        const double second = std::floor(readings[from].sample / ClickTrack::kRate);
        std::vector<double> offsets;
        size_t to = from;
        for (; to < readings.size() && std::floor(readings[to].sample / ClickTrack::kRate) == second; ++to)
            offsets.push_back(readings[to].at - readings[to].sample * pace);
        std::nth_element(offsets.begin(), offsets.begin() + offsets.size() / 2, offsets.end());
        const double middle = (second + 0.5) * ClickTrack::kRate;
        medians.push_back({middle, offsets[offsets.size() / 2] + middle * pace});
        from = to;
    }
    if (medians.size() < 2)
        return;
    // The median of the slopes between every two medians, and the median
    // intercept (Theil and Sen: a fifth of the points may be far off); then
    // least squares through the medians near that line.
    std::vector<double> values;
    for (size_t i = 0; i < medians.size(); ++i) {
        for (size_t j = i + 1; j < medians.size(); ++j)
            values.push_back((medians[j].at - medians[i].at) / (medians[j].sample - medians[i].sample));
    }
    std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
    pace = values[values.size() / 2];
    values.clear();
    for (const Reading& r : medians)
        values.push_back(r.at - pace * r.sample);
    std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
    origin = values[values.size() / 2];
    std::vector<Reading> near;
    double meanSample = 0.0;
    double meanAt = 0.0;
    for (const Reading& r : medians) {
        if (std::abs(r.at - timeOf(r.sample)) <= kOutlier) {
            near.push_back(r);
            meanSample += r.sample;
            meanAt += r.at;
        }
    }
    meanSample /= std::max<size_t>(near.size(), 1);
    meanAt /= std::max<size_t>(near.size(), 1);
    double sxx = 0.0;
    double sxy = 0.0;
    for (const Reading& r : near) {
        sxx += (r.sample - meanSample) * (r.sample - meanSample);
        sxy += (r.sample - meanSample) * (r.at - meanAt);
    }
    if (near.size() >= 2 && sxx > 0.0) {
        pace = sxy / sxx;
        origin = meanAt - pace * meanSample;
    }
    std::vector<double> misses;
    for (const Reading& reading : readings)
        misses.push_back(std::abs(reading.at - timeOf(reading.sample)));
    std::sort(misses.begin(), misses.end());
    median = misses[misses.size() / 2];
    withinMillisecond = static_cast<double>(std::upper_bound(misses.begin(), misses.end(), 0.001) - misses.begin())
        / static_cast<double>(misses.size());
}
