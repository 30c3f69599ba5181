#include "Resample.h"

#include "SoundMath.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr int kHalfTaps = 16; // zero crossings of the kernel on either side, at the lower rate
} // namespace

std::vector<float> resample(const std::vector<float>& in, int fromRate, int toRate)
{
    if (fromRate == toRate || in.empty())
        return in;
    const double step = double(fromRate) / toRate;            // input samples per output sample
    const double cutoff = 0.95 * std::min(1.0, 1.0 / step);   // of the input's Nyquist band
    const double reach = kHalfTaps / cutoff;                  // kernel half-width in input samples
    const size_t outCount = size_t(double(in.size()) / step);
    std::vector<float> out(outCount);
    for (size_t n = 0; n < outCount; ++n) {
        double centre = double(n) * step;
        long first = long(std::ceil(centre - reach)), last = long(std::floor(centre + reach));
        double sum = 0.0;
        for (long k = std::max(0L, first); k <= last && k < long(in.size()); ++k) {
            double t = double(k) - centre;
            double x = t * cutoff;
            double sinc = std::fabs(x) < 1e-9 ? 1.0 : std::sin(kPi * x) / (kPi * x);
            double window = 0.42 + 0.5 * std::cos(kPi * t / reach) + 0.08 * std::cos(2 * kPi * t / reach);
            sum += in[size_t(k)] * cutoff * sinc * window;
        }
        out[n] = float(sum);
    }
    return out;
}
