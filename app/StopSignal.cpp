#include "StopSignal.h"

#include <csignal>

namespace {

volatile std::sig_atomic_t stopSignal = 0;

extern "C" void askToStop(int signal)
{
    stopSignal = signal;
}

} // namespace

void StopSignal::catchStops()
{
    std::signal(SIGINT, askToStop);
    std::signal(SIGTERM, askToStop);
#ifdef SIGHUP
    std::signal(SIGHUP, askToStop);
#endif
}

bool StopSignal::requested()
{
    return stopSignal != 0;
}

void StopSignal::endAsAsked()
{
    const int signal = stopSignal;
    if (signal == 0)
        return;
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}
