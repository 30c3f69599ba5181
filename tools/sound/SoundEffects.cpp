#include "SoundEffects.h"

#include "Biquad.h"
#include "FliteSpeech.h"
#include "Loudness.h"
#include "SoundMath.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace {

constexpr double kRate = 44100.0;

// Uniform numbers from a cue's own sequence, the same on every platform.
class Draw {
public:
    explicit Draw(std::mt19937& random) : random(random) {}
    double uniform(double low, double high) { return low + (high - low) * (double(random()) / 4294967296.0); }
    double noise() { return uniform(-1.0, 1.0); }
    // Log-uniform from `low` to `high` (both above 0).
    double spread(double low, double high) { return low * std::pow(high / low, uniform(0.0, 1.0)); }

private:
    std::mt19937& random;
};

size_t samplesOf(double seconds)
{
    return size_t(std::max(0.0, std::round(seconds * kRate)));
}

// A mode of a struck body: a two-pole resonator with zeros at DC and at
// the Nyquist frequency, whose impulse response is close to a unit cosine
// at `frequency` decaying by 1/e every `decay` seconds.
struct Resonator {
    double a1, a2, x1 = 0.0, x2 = 0.0, y1 = 0.0, y2 = 0.0;
    Resonator(double frequency, double decay)
    {
        const double w = 2.0 * kPi * frequency / kRate, r = std::exp(-1.0 / (decay * kRate));
        a1 = 2.0 * r * std::cos(w);
        a2 = -r * r;
    }
    double step(double x)
    {
        double y = 0.5 * (x - x2) + a1 * y1 + a2 * y2;
        x2 = x1;
        x1 = x;
        y2 = y1;
        y1 = y;
        return y;
    }
};

// Adds a burst of noise at `at` seconds, `length` long with a fast attack
// and a falling tail, band-passed around `centre` Hz.
void addNoiseBurst(std::vector<float>& out, Draw& draw, double at, double length, double centre, double q,
                   double amplitude)
{
    Biquad band = Biquad::bandPass(centre, q, kRate);
    const size_t first = samplesOf(at), count = std::max<size_t>(1, samplesOf(length));
    for (size_t i = 0; i < count + samplesOf(0.01) && first + i < out.size(); ++i) {
        double x = i < count ? draw.noise() * std::pow(1.0 - double(i) / double(count), 2.0) : 0.0;
        out[first + i] += float(amplitude * band.step(x));
    }
}

// Fades the last `seconds` of `sound` out along a half cosine.
void fadeOut(std::vector<float>& sound, double seconds)
{
    const size_t count = std::min(sound.size(), samplesOf(seconds));
    for (size_t i = 0; i < count; ++i)
        sound[sound.size() - 1 - i] *= float(0.5 - 0.5 * std::cos(kPi * double(i) / double(count)));
}

// Adds a decaying sine at `at` seconds: a thump of a body at `frequency`.
void addThump(std::vector<float>& out, double at, double frequency, double decay, double amplitude)
{
    const size_t first = samplesOf(at);
    for (size_t i = 0; i < samplesOf(decay * 6.0) && first + i < out.size(); ++i) {
        double t = double(i) / kRate;
        double attack = std::min(1.0, t / 0.002);
        out[first + i] += float(amplitude * attack * std::exp(-t / decay) * std::sin(2.0 * kPi * frequency * t));
    }
}

// A bell telephone: a clapper swinging at 20 Hz strikes two small gongs in
// turn for `seconds`; they ring on after it stops.
std::vector<float> ring(const EffectRequest& request)
{
    Draw draw(*request.random);
    struct Mode {
        double frequency, amplitude, decay;
    };
    const Mode gongs[2][4] = {{{1030, 1.0, 0.45}, {2390, 0.55, 0.25}, {3950, 0.35, 0.16}, {5630, 0.2, 0.1}},
                              {{1290, 1.0, 0.4}, {2980, 0.5, 0.22}, {4900, 0.3, 0.14}, {6700, 0.15, 0.08}}};
    std::vector<Resonator> modes[2];
    for (int g = 0; g < 2; ++g)
        for (const Mode& m : gongs[g])
            modes[g].emplace_back(m.frequency, m.decay);
    std::vector<float> strikes[2];
    const double ringOut = 1.0;
    const size_t length = samplesOf(request.seconds + ringOut);
    for (auto& s : strikes)
        s.assign(length, 0.0f);
    const double period = 1.0 / 40.0;
    for (int k = 0; k * period < request.seconds; ++k) {
        size_t at = samplesOf(k * period + draw.uniform(-0.0015, 0.0015) + 0.002);
        // A soft hammer: a 0.6 ms raised-cosine push.
        const size_t width = samplesOf(0.0006);
        double force = draw.uniform(0.85, 1.15);
        for (size_t i = 0; i < width && at + i < length; ++i)
            strikes[k % 2][at + i] += float(force * (0.5 - 0.5 * std::cos(2.0 * kPi * double(i) / double(width))));
    }
    std::vector<float> out(length, 0.0f);
    for (int g = 0; g < 2; ++g)
        for (size_t m = 0; m < modes[g].size(); ++m)
            for (size_t i = 0; i < length; ++i)
                out[i] += float(gongs[g][m].amplitude * modes[g][m].step(strikes[g][i]));
    // The clapper's rattle on its stops.
    for (int k = 0; k * period < request.seconds; ++k)
        addNoiseBurst(out, draw, k * period, 0.002, 3600.0, 2.0, 0.4);
    fadeOut(out, 0.3);
    return out;
}

// The receiver lifted off its cradle: a plastic clack, the hook switch
// clicking twice and a dull knock; `seconds` of it.
std::vector<float> pickup(const EffectRequest& request)
{
    Draw draw(*request.random);
    std::vector<float> out(samplesOf(request.seconds + 0.1), 0.0f);
    addNoiseBurst(out, draw, 0.0, 0.004, 2500.0, 2.5, 1.0);
    addThump(out, 0.0, 170.0, 0.025, 0.5);
    addThump(out, 0.0, 820.0, 0.012, 0.3);
    addNoiseBurst(out, draw, 0.035, 0.002, 4200.0, 3.0, 0.6);
    addNoiseBurst(out, draw, 0.062, 0.002, 3800.0, 3.0, 0.45);
    return out;
}

// Earth breaking open: a low rumble swelling to a thud 40 % into `seconds`,
// clods and stones crumbling away after it, dying down by the end.
std::vector<float> rumble(const EffectRequest& request)
{
    Draw draw(*request.random);
    const double peak = 0.4 * request.seconds, fall = request.seconds - peak;
    const size_t length = samplesOf(request.seconds);
    std::vector<float> out(length, 0.0f);
    auto envelope = [&](double t) {
        if (t < peak)
            return std::pow(t / peak, 2.0);
        return std::exp(-3.5 * (t - peak) / fall) * std::min(1.0, (request.seconds - t) / 0.3);
    };
    // The rumble: brown noise under 250 Hz, its strength wandering.
    Biquad low1 = Biquad::lowPass(250.0, 0.7, kRate), low2 = Biquad::lowPass(250.0, 0.7, kRate);
    Biquad floor = Biquad::firstOrderHighPass(28.0, kRate), wander = Biquad::lowPass(4.0, 0.7, kRate);
    double brown = 0.0;
    for (size_t i = 0; i < length; ++i) {
        brown = 0.997 * brown + 0.05 * draw.noise();
        double strength = 1.0 + 2.5 * wander.step(draw.noise());
        out[i] = float(4.0 * envelope(double(i) / kRate) * strength * floor.step(low2.step(low1.step(brown))));
    }
    addThump(out, peak, 44.0, 0.3, 0.9);
    addThump(out, peak + 0.01, 71.0, 0.18, 0.5);
    addNoiseBurst(out, draw, peak, 0.12, 240.0, 0.8, 1.2);
    // The earth cracking as it swells, then clods and grit falling: short
    // bursts, thickest just after the thud.
    for (double t = 0.3 * peak; t < request.seconds - 0.1; t += 1.0 / draw.uniform(40.0, 160.0)) {
        double strength = t < peak ? 0.6 * envelope(t) : std::exp(-2.5 * (t - peak) / fall);
        double size = draw.uniform(0.0, 1.0);
        addNoiseBurst(out, draw, t, 0.004 + 0.02 * size, draw.spread(260.0, 2400.0) / (0.5 + size), 1.4,
                      0.5 * strength * draw.uniform(0.2, 1.0));
    }
    for (double t = peak; t < request.seconds - 0.2; t += draw.uniform(0.03, 0.14))
        addNoiseBurst(out, draw, t, 0.0015, draw.spread(3000.0, 6000.0), 4.0,
                      0.25 * std::exp(-2.0 * (t - peak) / fall) * draw.uniform(0.3, 1.0));
    return out;
}

// Teeth going in: a snap, a crunch of small cracks, a wet squelch and a
// dull knock, over `seconds`.
std::vector<float> bite(const EffectRequest& request)
{
    Draw draw(*request.random);
    const size_t length = samplesOf(request.seconds + 0.05);
    std::vector<float> out(length, 0.0f);
    addNoiseBurst(out, draw, 0.0, 0.003, 2800.0, 1.2, 1.0);
    addThump(out, 0.0, 95.0, 0.06, 0.6);
    const double crunch = std::min(0.2, 0.5 * request.seconds);
    for (int k = 0; k < 18; ++k) {
        double t = crunch * std::pow(draw.uniform(0.02, 1.0), 1.6);
        addNoiseBurst(out, draw, t, draw.uniform(0.002, 0.007), draw.spread(1200.0, 5000.0), 2.0,
                      draw.uniform(0.3, 0.9) * (1.0 - 0.6 * t / crunch));
    }
    Biquad wet = Biquad::lowPass(700.0, 0.9, kRate);
    for (size_t i = 0; i < length; ++i) {
        double t = double(i) / kRate;
        double shape = std::min(1.0, t / 0.01) * std::exp(-t / (0.3 * request.seconds));
        out[i] += float(1.2 * shape * wet.step(draw.noise()));
    }
    return out;
}

// A gasp: breath drawn in sharply through an opening mouth, a little voice
// rising in it, over `seconds`.
std::vector<float> gasp(const EffectRequest& request)
{
    Draw draw(*request.random);
    const size_t length = samplesOf(request.seconds);
    std::vector<float> out(length, 0.0f);
    const double formants[3][3] = {{550.0, 850.0, 1.0}, {1100.0, 1600.0, 0.7}, {2500.0, 2900.0, 0.4}};
    Biquad breath[3], voiced[3];
    Biquad hiss = Biquad::butterworthHighPass(3500.0, kRate), hissTop = Biquad::lowPass(7000.0, 0.7, kRate);
    Biquad throat = Biquad::lowPass(3500.0, 0.7, kRate); // the breath's turbulence is soft up high
    double phase = 0.0;
    for (size_t i = 0; i < length; ++i) {
        const double u = double(i) / double(length), t = double(i) / kRate;
        if (i % 32 == 0)
            for (int f = 0; f < 3; ++f) {
                double centre = formants[f][0] + (formants[f][1] - formants[f][0]) * u;
                Biquad next = Biquad::bandPass(centre, 6.0, kRate);
                for (Biquad* b : {&breath[f], &voiced[f]}) {
                    next.x1 = b->x1, next.x2 = b->x2, next.y1 = b->y1, next.y2 = b->y2;
                    *b = next;
                }
            }
        double shape = std::min(1.0, t / 0.06) * (u < 0.35 ? 1.0 : 0.5 + 0.5 * std::cos(kPi * (u - 0.35) / 0.65));
        // The voice: a glottal buzz from 150 to 210 Hz, strongest in the middle.
        phase += (150.0 + 60.0 * u) / kRate;
        double pulse = phase >= 1.0 ? 1.0 : 0.0;
        phase -= std::floor(phase);
        double voicing = std::sin(kPi * std::clamp((u - 0.05) / 0.6, 0.0, 1.0));
        double noise = draw.noise(), y = 0.05 * hissTop.step(hiss.step(noise)), breathNoise = throat.step(noise);
        for (int f = 0; f < 3; ++f)
            y += formants[f][2] * (breath[f].step(breathNoise) + 3.0 * voicing * voiced[f].step(pulse));
        out[i] = float(shape * y);
    }
    return out;
}

// A door: the handle, the latch, and the hinges creaking as it swings
// open over `seconds`.
std::vector<float> door(const EffectRequest& request)
{
    Draw draw(*request.random);
    // The creak lasts at least 0.1 s after the latch, so a door shorter
    // than that rings on past its length.
    const double from = 0.2, to = std::max(from + 0.1, request.seconds - 0.05);
    const size_t length = samplesOf(std::max(request.seconds, to) + 0.1);
    std::vector<float> out(length, 0.0f);
    addNoiseBurst(out, draw, 0.0, 0.002, 3400.0, 3.0, 0.8);
    addThump(out, 0.0, 1100.0, 0.02, 0.3);
    addNoiseBurst(out, draw, 0.09, 0.002, 4000.0, 3.0, 0.9);
    addThump(out, 0.09, 180.0, 0.04, 0.6);
    // The creak: the hinge sticks and slips, each slip ringing the wood.
    std::vector<Resonator> wood = {{310.0, 0.04}, {740.0, 0.025}, {1380.0, 0.018}, {2250.0, 0.012}};
    const double weights[] = {1.0, 0.8, 0.6, 0.35};
    std::vector<float> slips(length, 0.0f);
    for (double t = from; t < to;) {
        double u = (t - from) / (to - from);
        slips[samplesOf(t)] += float(draw.uniform(0.6, 1.0) * std::pow(std::sin(kPi * u), 0.7));
        double rate = 35.0 + 70.0 * std::pow(std::sin(kPi * u), 1.5) + 20.0 * u;
        t += draw.uniform(0.88, 1.12) / rate;
    }
    for (size_t i = 0; i < length; ++i) {
        double y = 0.0;
        for (size_t m = 0; m < wood.size(); ++m)
            y += weights[m] * wood[m].step(slips[i]);
        out[i] += float(0.5 * y);
    }
    return out;
}

// Heavy shoes on a wooden floor, a step every 0.56 s for `seconds`,
// coming nearer: the first steps muffled and 14 dB down, the last close.
std::vector<float> steps(const EffectRequest& request)
{
    Draw draw(*request.random);
    const double interval = 0.56;
    const size_t length = samplesOf(request.seconds + 0.3);
    std::vector<float> out(length, 0.0f);
    const int count = int(request.seconds / interval) + 1;
    for (int k = 0; k < count; ++k) {
        double near = count > 1 ? double(k) / (count - 1) : 1.0;
        double at = std::min(request.seconds, k * interval + (k ? draw.uniform(-0.03, 0.03) : 0.0));
        std::vector<float> step(samplesOf(0.3), 0.0f);
        double foot = k % 2 ? 1.06 : 0.95;
        addThump(step, 0.0, 105.0 * foot, 0.045, 1.0);
        addNoiseBurst(step, draw, 0.0, 0.004, 1900.0 * foot, 1.5, 0.7);
        addNoiseBurst(step, draw, 0.075, 0.003, 2600.0, 1.5, 0.45);
        addNoiseBurst(step, draw, 0.08, 0.025, 3200.0, 2.0, 0.15);
        Biquad distance = Biquad::lowPass(1800.0 + 6000.0 * near, 0.7, kRate);
        double gain = fromDecibels(-14.0 * (1.0 - near)) * draw.uniform(0.85, 1.0);
        for (size_t i = 0; i < step.size() && samplesOf(at) + i < length; ++i)
            out[samplesOf(at) + i] += float(gain * distance.step(step[i]));
    }
    return out;
}

// Comb and all-pass reverberation of a small hall (Schroeder's), wet only.
std::vector<float> hall(const std::vector<float>& in)
{
    const size_t combs[] = {1557, 1617, 1491, 1422}, passes[] = {225, 556};
    std::vector<float> wet(in.size(), 0.0f);
    for (size_t delay : combs) {
        std::vector<float> line(delay, 0.0f);
        for (size_t i = 0; i < in.size(); ++i) {
            float y = line[i % delay];
            line[i % delay] = in[i] + 0.82f * y;
            wet[i] += 0.25f * y;
        }
    }
    for (size_t delay : passes) {
        std::vector<float> line(delay, 0.0f);
        for (size_t i = 0; i < wet.size(); ++i) {
            float delayed = line[i % delay];
            float x = wet[i] + 0.5f * delayed;
            line[i % delay] = x;
            wet[i] = delayed - 0.5f * x;
        }
    }
    return wet;
}

// A roomful of guests talking at once, far off: seven voices speaking the
// sayings in turn with pauses, muffled and blurred by the hall, fading in
// and out at the ends of `seconds`.
std::vector<float> murmur(const EffectRequest& request)
{
    const std::vector<std::string>& sayings = *request.sayings;
    if (sayings.empty())
        throw std::runtime_error("the murmur needs sentences (\"say\" lines)");
    Draw draw(*request.random);
    const size_t length = samplesOf(request.seconds);
    std::vector<float> room(length, 0.0f);
    const char* voices[] = {"slt", "rms", "awb", "kal16", "slt", "awb", "rms"};
    for (const char* voice : voices) {
        const double pitch = draw.uniform(0.85, 1.25), stretch = draw.uniform(0.9, 1.1);
        const double gain = fromDecibels(draw.uniform(-6.0, 0.0));
        for (double t = -draw.uniform(0.0, 3.0); t < request.seconds;) {
            const std::string& sentence = sayings[size_t(draw.uniform(0.0, double(sayings.size()))) % sayings.size()];
            std::vector<float> speech = fliteSpeak(voice, pitch, stretch, sentence);
            double energy = 0.0;
            for (float s : speech)
                energy += double(s) * s;
            const double scale = gain * 0.1 / std::sqrt(std::max(energy / double(speech.size()), 1e-12));
            for (size_t i = 0; i < speech.size(); ++i) {
                long at = long(std::llround(t * kRate)) + long(i);
                if (at >= 0 && size_t(at) < length)
                    room[size_t(at)] += float(scale * speech[i]);
            }
            t += double(speech.size()) / kRate + draw.uniform(0.4, 2.5);
        }
    }
    Biquad low = Biquad::butterworthHighPass(180.0, kRate), muffle1 = Biquad::lowPass(1800.0, 0.7, kRate),
           muffle2 = Biquad::lowPass(1800.0, 0.7, kRate);
    for (float& s : room)
        s = float(muffle2.step(muffle1.step(low.step(s))));
    std::vector<float> wet = hall(room);
    for (size_t i = 0; i < length; ++i) {
        double t = double(i) / kRate;
        double fade = std::min({1.0, t / 2.0, (request.seconds - t) / 3.0});
        room[i] = float(fade * (0.6 * room[i] + 0.6 * wet[i]));
    }
    return room;
}

} // namespace

const std::vector<SoundRecipe>& soundRecipes()
{
    static const std::vector<SoundRecipe> recipes = {
        {"ring", "a bell telephone ringing for SECONDS", ring},
        {"pickup", "the receiver lifted off its cradle", pickup},
        {"rumble", "earth breaking open, the thud 40 % into SECONDS", rumble},
        {"bite", "teeth going in: a snap, a crunch, a squelch", bite},
        {"gasp", "breath drawn in sharply, a little voice in it", gasp},
        {"door", "a door's handle, latch and creaking hinges", door},
        {"steps", "heavy steps on a wooden floor every 0.56 s, coming nearer", steps},
        {"murmur", "a roomful of guests talking far off (the \"say\" sentences)", murmur},
    };
    return recipes;
}
