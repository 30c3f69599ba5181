#include "Biquad.h"

#include <cmath>

#include "SoundMath.h"

Biquad Biquad::butterworthHighPass(double cutoff, double rate)
{
    const double w = 2.0 * kPi * cutoff / rate;
    const double cw = std::cos(w);
    const double alpha = std::sin(w) / std::sqrt(2.0);
    const double a0 = 1.0 + alpha;
    const double b0 = (1.0 + cw) / 2.0 / a0;
    return {b0, -(1.0 + cw) / a0, b0, -2.0 * cw / a0, (1.0 - alpha) / a0};
}

Biquad Biquad::firstOrderHighPass(double cutoff, double rate)
{
    const double a = std::exp(-2.0 * kPi * cutoff / rate);
    const double g = (1.0 + a) / 2.0;
    return {g, -g, 0.0, -a, 0.0};
}

Biquad Biquad::bandPass(double centre, double q, double rate)
{
    const double w = 2.0 * kPi * centre / rate;
    const double alpha = std::sin(w) / (2.0 * q);
    const double a0 = 1.0 + alpha;
    return {alpha / a0, 0.0, -alpha / a0, -2.0 * std::cos(w) / a0, (1.0 - alpha) / a0};
}

Biquad Biquad::lowPass(double cutoff, double q, double rate)
{
    const double w = 2.0 * kPi * cutoff / rate;
    const double cw = std::cos(w);
    const double alpha = std::sin(w) / (2.0 * q);
    const double a0 = 1.0 + alpha;
    const double b0 = (1.0 - cw) / 2.0 / a0;
    return {b0, 2.0 * b0, b0, -2.0 * cw / a0, (1.0 - alpha) / a0};
}

double Biquad::step(double x)
{
    const double y = b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
    x2 = x1;
    x1 = x;
    y2 = y1;
    y1 = y;
    return y;
}

void Biquad::filter(std::vector<float>& samples)
{
    for (float& s : samples)
        s = float(step(s));
}
