#include "../SoundServerPosition.h"

#include <pulse/pulseaudio.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "../../MusicPlayhead.h"

namespace {

// Bounds older than this are forgotten: the sink's clock and the wall clock
// drift apart slowly, and the sink may run dry and start again later.
constexpr double kWindow = 1.0;
// Of the reports of the last kWindow, the one that puts the sink this far
// down from the furthest is taken.
constexpr size_t kTrusted = 3;
// What SDL writes reaches the server within this, microseconds: the
// question after a mix waits this long.
constexpr pa_usec_t kInTransit = 2000;
// An answer slower than this is not used: the server answered at some
// moment in between, and the bounds would be this much looser.
constexpr double kSlowAnswer = 0.002;

} // namespace

// What the server's thread calls.
struct ServerCallbacks {
    static void stateChanged(pa_context* context, void* data)
    {
        SoundServerPosition& self = *static_cast<SoundServerPosition*>(data);
        if (pa_context_get_state(context) != PA_CONTEXT_READY || self.bell)
            return;
        pa_mainloop_api* api = pa_threaded_mainloop_get_api(self.loop);
        self.bell = api->io_new(api, self.wakeUp, PA_IO_EVENT_INPUT, &ServerCallbacks::rung, data);
    }

    // After a mix: the question waits until what SDL wrote before the mix
    // has surely reached the server.
    static void rung(pa_mainloop_api*, pa_io_event*, int fd, pa_io_event_flags_t, void* data)
    {
        SoundServerPosition& self = *static_cast<SoundServerPosition*>(data);
        uint64_t rings = 0;
        (void)!read(fd, &rings, sizeof rings);
        const pa_usec_t when = pa_rtclock_now() + kInTransit;
        if (self.timer)
            pa_context_rttime_restart(self.context, self.timer, when);
        else
            self.timer = pa_context_rttime_new(self.context, when, &ServerCallbacks::timeToAsk, data);
    }

    static void timeToAsk(pa_mainloop_api*, pa_time_event*, const timeval*, void* data)
    {
        static_cast<SoundServerPosition*>(data)->ask();
    }

    static void answered(pa_context*, const pa_sink_input_info* info, int last, void* data)
    {
        SoundServerPosition& self = *static_cast<SoundServerPosition*>(data);
        if (last || !info) {
            self.asking = false;
            self.learn(MusicPlayhead::now());
            return;
        }
        // SDL opens one playback stream; the server names its process.
        const char* process = pa_proplist_gets(info->proplist, PA_PROP_APPLICATION_PROCESS_ID);
        // PipeWire's PulseAudio service answers 0 for every stream: no
        // report.
        if (process && std::to_string(getpid()) == process && !info->corked && info->buffer_usec + info->sink_usec > 0)
            self.latency = static_cast<double>(info->buffer_usec + info->sink_usec) / 1e6;
    }
};

const char* SoundServerPosition::unavailable()
{
    return nullptr;
}

SoundServerPosition::SoundServerPosition()
{
    loop = pa_threaded_mainloop_new();
    if (!loop)
        return;
    context = pa_context_new(pa_threaded_mainloop_get_api(loop), "quorvane playhead");
    if (!context)
        return;
    wakeUp = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (wakeUp < 0)
        return;
    pa_context_set_state_callback(context, &ServerCallbacks::stateChanged, this);
    if (pa_context_connect(context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0)
        return;
    pa_threaded_mainloop_start(loop);
}

SoundServerPosition::~SoundServerPosition()
{
    if (loop)
        pa_threaded_mainloop_stop(loop);
    if (bell)
        pa_threaded_mainloop_get_api(loop)->io_free(bell);
    if (timer)
        pa_threaded_mainloop_get_api(loop)->time_free(timer);
    if (context) {
        pa_context_disconnect(context);
        pa_context_unref(context);
    }
    if (loop)
        pa_threaded_mainloop_free(loop);
    if (wakeUp >= 0)
        close(wakeUp);
}

void SoundServerPosition::mixed(double at, double end, double buffer)
{
    {
        const std::lock_guard<std::mutex> hold(lock);
        last.at = at;
        last.end = end;
        last.buffer = buffer;
        ++last.count;
    }
    if (wakeUp >= 0) {
        const uint64_t one = 1;
        (void)!write(wakeUp, &one, sizeof one);
    }
}

double SoundServerPosition::heardAt(double at) const
{
    const std::lock_guard<std::mutex> hold(lock);
    return known ? at + offset : -1.0;
}

void SoundServerPosition::ask()
{
    if (asking || pa_context_get_state(context) != PA_CONTEXT_READY)
        return;
    asking = true;
    latency = -1.0;
    {
        const std::lock_guard<std::mutex> hold(lock);
        whenAsked = last;
    }
    askedAt = MusicPlayhead::now();
    if (pa_operation* question = pa_context_get_sink_input_info_list(context, &ServerCallbacks::answered, this))
        pa_operation_unref(question);
    else
        asking = false;
}

void SoundServerPosition::learn(double answeredAt)
{
    Mixed now;
    {
        const std::lock_guard<std::mutex> hold(lock);
        now = last;
    }
    // Only when no mix came while the server answered: then the server
    // had received at least everything before the last mix, and at most
    // all of it.
    if (latency < 0.0 || whenAsked.count == 0 || now.count != whenAsked.count || answeredAt - askedAt > kSlowAnswer)
        return;
    const double at = 0.5 * (askedAt + answeredAt);
    bounds.push_back({at, whenAsked.end - whenAsked.buffer - latency - at, whenAsked.end - latency - at});
    while (bounds.front().at < at - kWindow)
        bounds.pop_front();
    // The newest bound holds; older ones that disagree with it (the sink
    // ran dry, or the device changed) are dropped. A report now and then
    // comes before SDL's last piece reached the server and puts the sink
    // too far on: the third furthest is taken.
    double low = 0.0;
    std::vector<double> lows;
    while (true) {
        lows.clear();
        double high = bounds.back().high;
        for (const Bound& bound : bounds) {
            lows.push_back(bound.low);
            high = std::min(high, bound.high);
        }
        const size_t trusted = std::min(lows.size(), kTrusted) - 1;
        std::nth_element(lows.begin(), lows.begin() + trusted, lows.end(), std::greater<double>());
        low = lows[trusted];
        if (low <= high || bounds.size() == 1)
            break;
        bounds.pop_front();
    }
    const std::lock_guard<std::mutex> hold(lock);
    offset = low;
    known = true;
}
