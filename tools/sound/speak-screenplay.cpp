// speak-screenplay: speaks every line of the screenplay with Flite in its
// figure's voice, lays the voices on one stem at their start times, and
// writes one dialog script per script name holding, for each line, the
// stretches in which its voice sounds. Music and mixing are other tools' work.
#include "ArgumentReader.h"
#include "Biquad.h"
#include "FliteSpeech.h"
#include "MixFigures.h"
#include "Screenplay.h"
#include "Speech.h"
#include "ToolMain.h"
#include "TrackLength.h"
#include "UsageError.h"
#include "WavFile.h"


#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr int kSampleRate = 44100;
constexpr double kSpeechLevel = -20.0;   // dBFS: the median level of the sounding frames of every line
constexpr float kKnee = 0.5f;            // peaks above this are bent softly under 1.0
constexpr double kMinimumGap = 0.15;     // seconds of quiet between two lines
constexpr double kMinimumPause = 0.1;    // a silence this long inside a line closes the mouth
constexpr double kShortestSpan = 0.08;   // a shorter sounding stretch joins a neighbour...
constexpr double kJoinPause = 0.25;      // ...less than this far away
constexpr double kFadeSeconds = 0.002;
constexpr double kMostWordsPerSecond = 4.0; // a faster line is spoken slower where the next line allows
constexpr double kWindowMargin = 0.05;      // seconds a slowed line keeps from the end of its scene

const char* kUsage =
    "usage: speak-screenplay SCREENPLAY DIALOG_DIR STEM.wav LINES.tsv [SECONDS]\n"
    "       speak-screenplay --report SCREENPLAY\n"
    "Speaks every line of SCREENPLAY with Flite in its figure's voice, writes\n"
    "the voices as one mono 44100 Hz stem of SECONDS length (by default the\n"
    "show's end to the next whole second), a\n"
    "dialog script per script name into DIALOG_DIR (one interval per sounding\n"
    "stretch of a line: start, tab, end; pauses of 0.25 s or more are gaps)\n"
    "and LINES.tsv (start, end, speaker, script, text; one row per line).\n"
    "--report prints each line's span and the gap to the next one and writes\n"
    "nothing.\n"
    "\n"
    "  --report    print the lines' spans instead of writing\n"
    "  -h, --help  this text\n"
    "  --version   the version\n"
    "\n"
    "Exit codes: 0 done, 1 failure, 2 usage.\n";

// Brings the median level of the line's sounding frames to kSpeechLevel, so
// every figure is as loud as the others, and bends the few peaks above the
// knee softly under full scale instead of turning the whole line down.
void level(std::vector<float>& x)
{
    std::vector<double> levels = soundingLevels(x.data(), x.size(), kSampleRate);
    if (levels.empty())
        return;
    std::nth_element(levels.begin(), levels.begin() + long(levels.size() / 2), levels.end());
    double gain = std::pow(10.0, (kSpeechLevel - levels[levels.size() / 2]) / 20.0);
    for (float& s : x) {
        float v = float(s * gain), a = std::fabs(v);
        if (a > kKnee)
            v = std::copysign(kKnee + (1.0f - kKnee) * std::tanh((a - kKnee) / (1.0f - kKnee)), v);
        s = v;
    }
}

struct Spoken {
    std::vector<float> voice;                           // from the first sounding frame to the last, 44100 Hz
    std::vector<std::pair<double, double>> intervals;   // sounding stretches, seconds from the voice's start
};

// Synthesises one line and keeps the stretch from its first sounding frame
// to its last, with the pauses inside it.
// `stretch` lengthens every sound of the voice by that factor over the
// figure's own speed.
Spoken speak(const CastMember& who, const std::string& text, const std::string& where, double stretch = 1.0)
{
    std::vector<float> x;
    try {
        x = fliteSpeak(who.voice, who.pitch / 100.0, stretch * 100.0 / who.speed, text);
    } catch (const std::runtime_error& e) {
        throw std::runtime_error(where + e.what());
    }
    Biquad::butterworthHighPass(90.0, kSampleRate).filter(x); // rumble below the voice
    level(x);
    std::vector<std::pair<double, double>> spans = soundingSpans(x, kSampleRate, kMinimumPause, kShortestSpan, kJoinPause);
    if (spans.empty())
        throw std::runtime_error(where + "the line came out silent");
    size_t first = size_t(std::lround(spans.front().first * kSampleRate));
    size_t last = std::min(x.size(), size_t(std::lround(spans.back().second * kSampleRate)));
    Spoken s;
    s.voice.assign(x.begin() + long(first), x.begin() + long(last));
    for (const auto& [from, to] : spans)
        s.intervals.push_back({from - spans.front().first, to - spans.front().first});
    size_t fade = std::min(s.voice.size() / 2, size_t(kFadeSeconds * kSampleRate));
    for (size_t i = 0; i < fade; ++i) {
        float g = float(i + 1) / float(fade + 1);
        s.voice[i] *= g;
        s.voice[s.voice.size() - 1 - i] *= g;
    }
    return s;
}

double seconds(const Spoken& spoken)
{
    return double(spoken.voice.size()) / kSampleRate;
}

// The line spoken at most kMostWordsPerSecond, as far as `room` seconds
// allow: a faster line is spoken again, stretched, until it is slow enough
// or fills the room.
Spoken speakAtPace(const CastMember& who, const std::string& text, const std::string& where, double room)
{
    Spoken spoken = speak(who, text, where);
    const double shortest = double(wordCount(text)) / kMostWordsPerSecond;
    const double wanted = std::min(room, shortest * 1.02);
    double stretch = 1.0;
    for (int round = 0; round < 4 && seconds(spoken) < shortest && seconds(spoken) < wanted * 0.995; ++round) {
        stretch *= wanted / seconds(spoken);
        Spoken slower = speak(who, text, where, stretch);
        if (seconds(slower) > room)
            break;
        spoken = std::move(slower);
    }
    return spoken;
}

// Seconds rounded up to the next millisecond, so the written span covers the voice.
double ceilMilliseconds(double seconds)
{
    return std::ceil(seconds * 1000.0 - 1e-6) / 1000.0;
}

int run(const std::vector<std::string>& arguments)
{
    bool report = false;
    std::vector<std::string> operands;
    for (ArgumentReader args(arguments); args.next();) {
        if (args.isFlag("--report"))
            report = true;
        else
            operands.push_back(args.operand());
    }
    if (report ? operands.size() != 1 : operands.size() < 4 || operands.size() > 5)
        throw UsageError(report ? "--report needs the screenplay alone"
                                : "needs a screenplay, a dialog folder, a stem, a line table and at most a length");
    const std::string& screenplayPath = operands[0];
    const double seconds = operands.size() == 5 ? ArgumentReader::number("the length", operands[4], 1.0, 3600.0) : kTrackSeconds;

    Screenplay play = loadScreenplay(screenplayPath);

    Audio stem;
    stem.sampleRate = kSampleRate;
    stem.channels = 1;
    stem.samples.assign(size_t(seconds * kSampleRate), 0.0f);

    std::vector<double> ends(play.lines.size());
    std::vector<std::vector<std::pair<double, double>>> intervals(play.lines.size());
    for (size_t i = 0; i < play.lines.size(); ++i) {
        const DialogLine& line = play.lines[i];
        std::string where = play.where(line.sourceLine);
        // Up to the quiet before the next line, inside the scene that shows the speaker.
        double room = (i + 1 < play.lines.size() ? play.lines[i + 1].start - kMinimumGap : seconds) - line.start;
        for (const SceneWindow& w : play.scenes)
            if (w.allows(line.speaker) && w.start < line.start && line.start < w.end)
                room = std::min(room, w.end - kWindowMargin - line.start);
        Spoken spoken = speakAtPace(*play.member(line.speaker), line.text, where, room - 0.002);
        ends[i] = ceilMilliseconds(line.start + double(spoken.voice.size()) / kSampleRate);
        for (const auto& [from, to] : spoken.intervals)
            intervals[i].push_back({std::round((line.start + from) * 1000.0) / 1000.0,
                                    std::min(ends[i], ceilMilliseconds(line.start + to))});
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
        std::fprintf(stderr, "speak-screenplay: %s\n", fault.c_str());
    if (!faults.empty())
        return ToolMain::kFailure;
    if (report)
        return ToolMain::kSuccess;

    const std::string& dialogDir = operands[1];
    std::map<std::string, std::string> scripts;
    for (const CastMember& m : play.cast)
        for (const std::string& s : m.scripts)
            scripts[s];
    std::string table;
    for (size_t i = 0; i < play.lines.size(); ++i) {
        const DialogLine& line = play.lines[i];
        char span[64];
        for (const auto& [from, to] : intervals[i]) {
            std::snprintf(span, sizeof span, "%.3f\t%.3f\n", from, to);
            scripts[line.script] += span;
        }
        std::snprintf(span, sizeof span, "%.3f\t%.3f", line.start, ends[i]);
        table += std::string(span) + "\t" + line.speaker + "\t" + line.script + "\t" + line.text + "\n";
    }
    for (const auto& [name, text] : scripts) {
        std::string path = dialogDir + "/" + name;
        std::ofstream out(path, std::ios::binary);
        out << text;
        if (!out)
            throw std::runtime_error(path + ": cannot write");
    }
    std::ofstream lines(operands[3], std::ios::binary);
    lines << table;
    if (!lines)
        throw std::runtime_error(operands[3] + ": cannot write");
    writeWav(operands[2], stem, WavEncoding::Pcm16);
    return ToolMain::kSuccess;
}

} // namespace

int main(int argc, char** argv)
{
    return ToolMain("speak-screenplay", kUsage).run(argc, argv, run);
}
