// render-score: plays a list of timed MIDI events through FluidSynth with a
// General MIDI SoundFont and writes the result as a stereo float WAVE file.
// The events come from compose-score; what they mean musically is its work.
#include "ArgumentReader.h"
#include "ScoreEvents.h"
#include "ToolMain.h"
#include "UsageError.h"
#include "WavFile.h"

#include <fluidsynth.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int kSampleRate = 44100;

const char* kHelp =
    "usage: render-score SOUNDFONT.sf2 EVENTS.txt OUT.wav SECONDS\n"
    "Renders EVENTS.txt (lines of: seconds channel kind values, where kind is\n"
    "\"on KEY VELOCITY\", \"off KEY\", \"program NUMBER\", \"cc NUMBER VALUE\" or\n"
    "\"bend VALUE\"; # starts a comment) through FluidSynth into a 44100 Hz\n"
    "stereo float WAVE file of SECONDS length. A line that does not read is\n"
    "named and nothing is written.\n"
    "\n"
    "  -h, --help  this text\n"
    "  --version   the version\n"
    "\n"
    "Exit codes: 0 done, 1 failure, 2 usage.\n";

void quietLog(int level, const char* message, void*)
{
    if (level <= FLUID_ERR)
        std::fprintf(stderr, "render-score: fluidsynth: %s\n", message);
}

// A synthesizer at the tool's rate with the SoundFont at `soundFont` loaded.
fluid_synth_t* createSynth(const std::string& soundFont, fluid_settings_t** settingsOut)
{
    for (int level : {FLUID_PANIC, FLUID_ERR, FLUID_WARN, FLUID_INFO, FLUID_DBG})
        fluid_set_log_function(level, quietLog, nullptr);
    fluid_settings_t* settings = new_fluid_settings();
    fluid_settings_setnum(settings, "synth.sample-rate", kSampleRate);
    fluid_settings_setnum(settings, "synth.gain", 0.7);
    fluid_settings_setint(settings, "synth.polyphony", 512);
    fluid_settings_setint(settings, "synth.cpu-cores", 1);
    fluid_settings_setint(settings, "synth.reverb.active", 1);
    fluid_settings_setnum(settings, "synth.reverb.room-size", 0.7);
    fluid_settings_setnum(settings, "synth.reverb.damp", 0.4);
    fluid_settings_setnum(settings, "synth.reverb.width", 1.0);
    fluid_settings_setnum(settings, "synth.reverb.level", 0.8);
    fluid_settings_setint(settings, "synth.chorus.active", 1);
    fluid_synth_t* synth = new_fluid_synth(settings);
    if (fluid_synth_sfload(synth, soundFont.c_str(), 1) == FLUID_FAILED)
        throw std::runtime_error(soundFont + ": not a SoundFont FluidSynth can load");
    *settingsOut = settings;
    return synth;
}

int run(const std::vector<std::string>& arguments)
{
    std::vector<std::string> operands;
    for (ArgumentReader args(arguments); args.next();)
        operands.push_back(args.operand());
    if (operands.size() != 4)
        throw UsageError("needs a SoundFont, an event list, an output file and a length in seconds");
    const double seconds = ArgumentReader::number("the length", operands[3], 0.001, 24 * 3600);
    const std::vector<ScoreEvent> events = loadScoreEvents(operands[1]);
    fluid_settings_t* settings = nullptr;
    fluid_synth_t* synth = createSynth(operands[0], &settings);

    const size_t frames = size_t(std::llround(seconds * kSampleRate));
    Audio out;
    out.sampleRate = kSampleRate;
    out.channels = 2;
    out.samples.resize(frames * 2);
    std::vector<float> left, right;
    size_t done = 0, next = 0;
    int lastReported = -1;
    auto renderTo = [&](size_t target) {
        while (done < target) {
            size_t n = std::min<size_t>(target - done, 4096);
            left.assign(n, 0.0f);
            right.assign(n, 0.0f);
            fluid_synth_write_float(synth, int(n), left.data(), 0, 1, right.data(), 0, 1);
            for (size_t i = 0; i < n; ++i) {
                out.samples[2 * (done + i)] = left[i];
                out.samples[2 * (done + i) + 1] = right[i];
            }
            done += n;
            int percent = int(100 * done / frames);
            if (percent / 25 != lastReported) {
                lastReported = percent / 25;
                std::fprintf(stderr, "render-score: %d%% of %.1f s\n", percent, seconds);
            }
        }
    };
    for (; next < events.size(); ++next) {
        const ScoreEvent& e = events[next];
        size_t at = std::min(frames, size_t(std::llround(e.time * kSampleRate)));
        renderTo(at);
        switch (e.kind) {
        case ScoreEvent::Program: fluid_synth_program_change(synth, e.channel, e.a); break;
        case ScoreEvent::Cc: fluid_synth_cc(synth, e.channel, e.a, e.b); break;
        case ScoreEvent::Bend: fluid_synth_pitch_bend(synth, e.channel, e.a); break;
        case ScoreEvent::Off: fluid_synth_noteoff(synth, e.channel, e.a); break;
        case ScoreEvent::On: fluid_synth_noteon(synth, e.channel, e.a, e.b); break;
        }
    }
    renderTo(frames);
    delete_fluid_synth(synth);
    delete_fluid_settings(settings);
    writeWav(operands[2], out, WavEncoding::Float32);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    return ToolMain("render-score", kHelp).run(argc, argv, run);
}
