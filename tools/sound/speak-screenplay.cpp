// speak-screenplay: speaks every line of the screenplay with espeak-ng in its
// figure's voice, lays the voices on one stem at their start times, and
// writes one dialog script per script name holding, for each line, the span
// in which its voice is audible. Music and mixing are other tools' work.
#include "Screenplay.h"
#include "WavFile.h"

#include <espeak-ng/speak_lib.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr int kSampleRate = 44100;
constexpr float kAudibleLevel = 0.004f;    // about -48 dBFS: quieter samples count as silence
constexpr double kTargetSpeechRms = 0.125; // about -18 dBFS over the voiced parts of a line
constexpr float kPeakCeiling = 0.7f;       // about -3 dBFS
constexpr double kMinimumGap = 0.15;       // seconds of quiet between two lines
constexpr double kFadeSeconds = 0.002;
constexpr double kPi = 3.14159265358979323846;

const char* kUsage =
    "usage: speak-screenplay SCREENPLAY DIALOG_DIR STEM.wav LINES.tsv [SECONDS]\n"
    "       speak-screenplay --report SCREENPLAY\n"
    "Speaks every line of SCREENPLAY with espeak-ng, writes the voices as one\n"
    "mono 44100 Hz stem of SECONDS length (default 287), a dialog script per\n"
    "script name into DIALOG_DIR (one audible span per line: start, tab, end)\n"
    "and LINES.tsv (start, end, speaker, script, text). --report prints each\n"
    "line's span and the gap to the next one and writes nothing.\n"
    "Exit codes: 0 done, 1 failure, 2 usage.\n";

std::vector<short> gSynthesised;

int collect(short* wav, int count, espeak_EVENT*)
{
    if (wav)
        gSynthesised.insert(gSynthesised.end(), wav, wav + count);
    return 0;
}

// Doubles the sample rate with a windowed-sinc interpolator.
std::vector<float> upsampleTwice(const std::vector<short>& in)
{
    constexpr int kTaps = 24;
    std::vector<double> kernel(2 * kTaps);
    for (int j = 0; j < 2 * kTaps; ++j) {
        double t = (j - kTaps) + 0.5; // distance in input samples from the odd output sample
        double window = 0.42 + 0.5 * std::cos(kPi * t / kTaps) + 0.08 * std::cos(2 * kPi * t / kTaps);
        kernel[j] = std::sin(kPi * t) / (kPi * t) * window;
    }
    std::vector<float> out(in.size() * 2);
    for (size_t n = 0; n < in.size(); ++n) {
        out[2 * n] = in[n] / 32768.0f;
        double sum = 0.0;
        for (int j = 0; j < 2 * kTaps; ++j) {
            long k = long(n) + j - kTaps + 1;
            if (k >= 0 && k < long(in.size()))
                sum += in[size_t(k)] / 32768.0 * kernel[size_t(2 * kTaps - 1 - j)];
        }
        out[2 * n + 1] = float(sum);
    }
    return out;
}

// Second-order Butterworth high-pass, removing rumble below the voice.
void highPass(std::vector<float>& x, double cutoff)
{
    double w = 2 * kPi * cutoff / kSampleRate, cw = std::cos(w), alpha = std::sin(w) / std::sqrt(2.0);
    double a0 = 1 + alpha;
    double b0 = (1 + cw) / 2 / a0, b1 = -(1 + cw) / a0, b2 = b0;
    double a1 = -2 * cw / a0, a2 = (1 - alpha) / a0;
    double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
    for (float& s : x) {
        double y = b0 * s + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
        x2 = x1; x1 = s; y2 = y1; y1 = y;
        s = float(y);
    }
}

// Brings the voiced part of a line to one level, so every figure is as loud
// as the others, and keeps its peaks under the ceiling.
void level(std::vector<float>& x)
{
    const size_t frame = kSampleRate / 50;
    std::vector<double> energies;
    double loudest = 0.0;
    for (size_t i = 0; i + frame <= x.size(); i += frame) {
        double e = 0;
        for (size_t j = i; j < i + frame; ++j)
            e += double(x[j]) * x[j];
        energies.push_back(e / frame);
        loudest = std::max(loudest, e / frame);
    }
    double sum = 0;
    size_t voiced = 0;
    for (double e : energies)
        if (e > loudest * 1e-3) { // within 30 dB of the loudest frame
            sum += e;
            ++voiced;
        }
    if (voiced == 0)
        return;
    double gain = kTargetSpeechRms / std::sqrt(sum / voiced);
    float peak = 0;
    for (float s : x)
        peak = std::max(peak, std::fabs(s));
    gain = std::min(gain, double(kPeakCeiling) / peak);
    for (float& s : x)
        s = float(s * gain);
}

struct Spoken {
    std::vector<float> voice; // the audible span only, 44100 Hz
};

// Synthesises one line and keeps only the span in which it is audible.
Spoken speak(const CastMember& who, const std::string& text, const std::string& where)
{
    if (espeak_SetVoiceByName(who.voice.c_str()) != EE_OK)
        throw std::runtime_error(where + "espeak-ng has no voice \"" + who.voice + "\"");
    espeak_SetParameter(espeakRATE, who.speed, 0);
    espeak_SetParameter(espeakPITCH, who.pitch, 0);
    espeak_SetParameter(espeakRANGE, who.range, 0);
    gSynthesised.clear();
    if (espeak_Synth(text.c_str(), text.size() + 1, 0, POS_CHARACTER, 0, espeakCHARS_UTF8, nullptr, nullptr) != EE_OK ||
        espeak_Synchronize() != EE_OK)
        throw std::runtime_error(where + "espeak-ng could not speak the line");

    std::vector<float> x = upsampleTwice(gSynthesised);
    highPass(x, 90.0);
    level(x);
    size_t first = 0, last = x.size();
    while (first < x.size() && std::fabs(x[first]) < kAudibleLevel)
        ++first;
    while (last > first && std::fabs(x[last - 1]) < kAudibleLevel)
        --last;
    if (first >= last)
        throw std::runtime_error(where + "the line came out silent");
    Spoken s;
    s.voice.assign(x.begin() + long(first), x.begin() + long(last));
    size_t fade = std::min(s.voice.size() / 2, size_t(kFadeSeconds * kSampleRate));
    for (size_t i = 0; i < fade; ++i) {
        float g = float(i + 1) / float(fade + 1);
        s.voice[i] *= g;
        s.voice[s.voice.size() - 1 - i] *= g;
    }
    return s;
}

// Seconds rounded up to the next millisecond, so the written span covers the voice.
double ceilMilliseconds(double seconds)
{
    return std::ceil(seconds * 1000.0 - 1e-6) / 1000.0;
}

int run(int argc, char** argv)
{
    bool report = argc == 3 && std::strcmp(argv[1], "--report") == 0;
    if (!report && (argc < 5 || argc > 6)) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const std::string screenplayPath = report ? argv[2] : argv[1];
    double seconds = 287.0;
    if (argc == 6) {
        char* end = nullptr;
        seconds = std::strtod(argv[5], &end);
        if (*end != '\0' || seconds <= 0) {
            std::fprintf(stderr, "speak-screenplay: length \"%s\" is not a number of seconds\n", argv[5]);
            return 2;
        }
    }

    Screenplay play = loadScreenplay(screenplayPath);

    if (espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0, nullptr, espeakINITIALIZE_DONT_EXIT) != 22050)
        throw std::runtime_error("speak-screenplay: espeak-ng did not start at 22050 Hz");
    espeak_SetSynthCallback(collect);

    Audio stem;
    stem.sampleRate = kSampleRate;
    stem.channels = 1;
    stem.samples.assign(size_t(seconds * kSampleRate), 0.0f);

    std::vector<double> ends(play.lines.size());
    for (size_t i = 0; i < play.lines.size(); ++i) {
        const DialogLine& line = play.lines[i];
        std::string where = play.where(line.sourceLine);
        Spoken spoken = speak(*play.member(line.speaker), line.text, where);
        ends[i] = ceilMilliseconds(line.start + double(spoken.voice.size()) / kSampleRate);
        if (!report) {
            size_t at = size_t(std::llround(line.start * kSampleRate));
            if (at + spoken.voice.size() > stem.samples.size())
                throw std::runtime_error(where + "the line runs past the end of the track");
            std::copy(spoken.voice.begin(), spoken.voice.end(), stem.samples.begin() + long(at));
        }
        if ((i + 1) % 20 == 0 || i + 1 == play.lines.size())
            std::fprintf(stderr, "speak-screenplay: spoke %zu of %zu lines\n", i + 1, play.lines.size());
    }

    // The rules the voices must keep: each line inside a window where its
    // speaker is drawn speaking, and a little quiet before the next line.
    std::vector<std::string> faults;
    for (size_t i = 0; i < play.lines.size(); ++i) {
        const DialogLine& line = play.lines[i];
        char buffer[256];
        if (!windowFor(play, line.speaker, line.start, ends[i])) {
            std::snprintf(buffer, sizeof buffer, "%s's line runs to %.3f s, out of the scene that shows %s speaking",
                          line.speaker.c_str(), ends[i], line.speaker.c_str());
            faults.push_back(play.where(line.sourceLine) + buffer);
        }
        if (i + 1 < play.lines.size() && ends[i] + kMinimumGap > play.lines[i + 1].start) {
            std::snprintf(buffer, sizeof buffer, "the line ends at %.3f s, too close to the next line at %.3f s",
                          ends[i], play.lines[i + 1].start);
            faults.push_back(play.where(line.sourceLine) + buffer);
        }
    }

    if (report) {
        for (size_t i = 0; i < play.lines.size(); ++i) {
            const DialogLine& line = play.lines[i];
            double next = i + 1 < play.lines.size() ? play.lines[i + 1].start : 0.0;
            std::printf("%4d  %8.3f %8.3f  %5.2f s  gap %6.2f  %-10s %s\n", line.sourceLine, line.start, ends[i],
                        ends[i] - line.start, i + 1 < play.lines.size() ? next - ends[i] : 0.0,
                        line.speaker.c_str(), line.text.c_str());
        }
    }
    for (const std::string& fault : faults)
        std::fprintf(stderr, "%s\n", fault.c_str());
    if (!faults.empty())
        return 1;
    if (report) {
        espeak_Terminate();
        return 0;
    }

    const std::string dialogDir = argv[2];
    std::map<std::string, std::string> scripts;
    for (const CastMember& m : play.cast)
        for (const std::string& s : m.scripts)
            scripts[s];
    std::string table;
    for (size_t i = 0; i < play.lines.size(); ++i) {
        const DialogLine& line = play.lines[i];
        char span[64];
        std::snprintf(span, sizeof span, "%.3f\t%.3f", line.start, ends[i]);
        scripts[line.script] += std::string(span) + "\n";
        table += std::string(span) + "\t" + line.speaker + "\t" + line.script + "\t" + line.text + "\n";
    }
    for (const auto& [name, text] : scripts) {
        std::string path = dialogDir + "/" + name;
        std::ofstream out(path, std::ios::binary);
        out << text;
        if (!out)
            throw std::runtime_error(path + ": cannot write");
    }
    espeak_Terminate();
    std::ofstream lines(argv[4], std::ios::binary);
    lines << table;
    if (!lines)
        throw std::runtime_error(std::string(argv[4]) + ": cannot write");
    writeWav(argv[3], stem, WavEncoding::Pcm16);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    try {
        return run(argc, argv);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
}
