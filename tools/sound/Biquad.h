// A second-order IIR filter section (direct form I) with its state: the
// coefficients normalised so that a0 is 1. Designs for the filters the
// sound tools use build one; step() runs it sample by sample.
#pragma once

#include <vector>

struct Biquad {
    double b0, b1, b2, a1, a2;
    double x1 = 0.0, x2 = 0.0, y1 = 0.0, y2 = 0.0;

    // A Butterworth high-pass (Q = 1/sqrt 2) at `cutoff` Hz for `rate`
    // samples per second, at rest.
    static Biquad butterworthHighPass(double cutoff, double rate);
    // A first-order high-pass at `cutoff` Hz, gentle enough to take away
    // only DC and sub-bass rumble; at rest.
    static Biquad firstOrderHighPass(double cutoff, double rate);
    // A two-pole band-pass (constant peak gain 1) around `centre` Hz with
    // quality `q`, at rest.
    static Biquad bandPass(double centre, double q, double rate);
    // A Butterworth-style low-pass (quality `q`) at `cutoff` Hz, at rest.
    static Biquad lowPass(double cutoff, double q, double rate);

    // The next output for input `x`.
    double step(double x);
    // Runs the filter over `samples` in place.
    void filter(std::vector<float>& samples);
};
