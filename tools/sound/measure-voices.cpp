// measure-voices: how well the built voices are understood and how closely
// the mouths follow them. An offline recogniser (pocketsphinx with its US
// English model) hears every line of the voice stem and the same sentences
// spoken by plain espeak-ng; the word error rates are printed per line and
// overall. Given the mix's stems it also hears every line as the viewer
// does, over the music and the effects, and espeak-ng's sentence laid over
// the same stretch of them at the same level. Each dialog interval is
// checked for the share of its length in which the voice sounds.
#include "ArgumentReader.h"
#include "LineTable.h"
#include "Resample.h"
#include "Speech.h"
#include "ToolMain.h"
#include "UsageError.h"
#include "WavFile.h"

#include <espeak-ng/speak_lib.h>
#include <pocketsphinx.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kRecogniserRate = 16000;
constexpr double kPadding = 0.3; // seconds of silence around each line for the recogniser
const char* kModel = "/usr/share/pocketsphinx/model/en-us";

const char* kUsage =
    "usage: measure-voices VOICES.wav LINES.tsv DIALOG_DIR [--lines N] [--stems DIR]\n"
    "Hears each line of the voice stem VOICES.wav (spans and texts from\n"
    "LINES.tsv, as speak-screenplay writes them) and the same sentence spoken\n"
    "by plain espeak-ng with pocketsphinx, and prints the word error rate of\n"
    "both per line and overall; then the share of every interval of the\n"
    "dialog scripts in DIALOG_DIR in which the voice sounds (10 ms frames at\n"
    "-45 dBFS or more) and the median level of those frames per script.\n"
    "\n"
    "  --lines N   hear only the first N lines (0: none, the intervals only)\n"
    "  --stems DIR also hear each line in the mix: DIR/voices.wav, music.wav\n"
    "              and effects.wav as mix-soundtrack writes them (their sum is\n"
    "              the track), and espeak-ng's sentence over the same music\n"
    "              and effects at the voice's level in the mix; prints the word\n"
    "              error rates there and the ratio of ours to espeak-ng's\n"
    "  -h, --help  this text\n"
    "  --version   the version\n"
    "\n"
    "Exit codes: 0 done, 1 failure, 2 usage.\n";

std::vector<std::pair<double, double>> readIntervals(const std::string& path)
{
    std::ifstream file(path);
    if (!file)
        throw std::runtime_error(path + ": cannot open");
    std::vector<std::pair<double, double>> intervals;
    double a, b;
    while (file >> a >> b)
        intervals.push_back({a, b});
    return intervals;
}

// Lower-case words of letters, digits and apostrophes.
std::vector<std::string> words(const std::string& text)
{
    std::vector<std::string> out;
    std::string word;
    for (char c : text + " ") {
        if (std::isalnum(static_cast<unsigned char>(c)) || c == '\'') {
            word += char(std::tolower(static_cast<unsigned char>(c)));
        } else if (!word.empty()) {
            out.push_back(word);
            word.clear();
        }
    }
    return out;
}

// Word-level edit distance (substitutions, insertions, deletions).
size_t editDistance(const std::vector<std::string>& a, const std::vector<std::string>& b)
{
    std::vector<size_t> row(b.size() + 1);
    for (size_t j = 0; j <= b.size(); ++j)
        row[j] = j;
    for (size_t i = 1; i <= a.size(); ++i) {
        size_t diagonal = row[0];
        row[0] = i;
        for (size_t j = 1; j <= b.size(); ++j) {
            size_t keep = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = keep;
        }
    }
    return row[b.size()];
}

class Recogniser {
public:
    Recogniser()
    {
        std::string hmm = std::string(kModel) + "/en-us", lm = std::string(kModel) + "/en-us.lm.bin",
                    dict = std::string(kModel) + "/cmudict-en-us.dict";
        config = cmd_ln_init(nullptr, ps_args(), TRUE, "-hmm", hmm.c_str(), "-lm", lm.c_str(), "-dict", dict.c_str(),
                             "-logfn", "/dev/null", nullptr);
        decoder = config ? ps_init(config) : nullptr;
        if (!decoder)
            throw std::runtime_error("pocketsphinx could not load its model from " + std::string(kModel) +
                                     " (Debian's pocketsphinx-en-us)");
    }
    ~Recogniser()
    {
        ps_free(decoder);
        cmd_ln_free_r(config);
    }
    Recogniser(const Recogniser&) = delete;
    Recogniser& operator=(const Recogniser&) = delete;

    // The words heard in `voice` (mono, `rate` Hz).
    std::vector<std::string> hear(const std::vector<float>& voice, int rate)
    {
        std::vector<float> x = resample(voice, rate, kRecogniserRate);
        std::vector<int16> pcm(size_t(2 * kPadding * kRecogniserRate) + x.size(), 0);
        size_t at = size_t(kPadding * kRecogniserRate);
        for (size_t i = 0; i < x.size(); ++i)
            pcm[at + i] = int16(std::lround(std::clamp(x[i], -1.0f, 1.0f) * 32767.0f));
        ps_start_utt(decoder);
        ps_process_raw(decoder, pcm.data(), pcm.size(), FALSE, TRUE);
        ps_end_utt(decoder);
        int32 score = 0;
        const char* hypothesis = ps_get_hyp(decoder, &score);
        return words(hypothesis ? hypothesis : "");
    }

private:
    cmd_ln_t* config = nullptr;
    ps_decoder_t* decoder = nullptr;
};

std::vector<short> gEspeak;

int collectEspeak(short* wav, int count, espeak_EVENT*)
{
    if (wav)
        gEspeak.insert(gEspeak.end(), wav, wav + count);
    return 0;
}

// The sentence in espeak-ng's default English voice at its default rate.
std::vector<float> plainEspeak(const std::string& text, int& rate)
{
    static int espeakRate = 0;
    if (espeakRate == 0) {
        espeakRate = espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0, nullptr, espeakINITIALIZE_DONT_EXIT);
        if (espeakRate <= 0 || espeak_SetVoiceByName("en") != EE_OK)
            throw std::runtime_error("espeak-ng did not start");
        espeak_SetSynthCallback(collectEspeak);
    }
    gEspeak.clear();
    espeak_Synth(text.c_str(), text.size() + 1, 0, POS_CHARACTER, 0, espeakCHARS_UTF8, nullptr, nullptr);
    espeak_Synchronize();
    rate = espeakRate;
    std::vector<float> x(gEspeak.size());
    for (size_t i = 0; i < x.size(); ++i)
        x[i] = gEspeak[i] / 32768.0f;
    return x;
}

// The median level (dBFS) of the sounding frames of `mono`; -200 when
// none sounds.
double speakingLevel(const std::vector<float>& mono, int rate)
{
    std::vector<double> levels = soundingLevels(mono.data(), mono.size(), rate);
    if (levels.empty())
        return -200.0;
    std::nth_element(levels.begin(), levels.begin() + long(levels.size() / 2), levels.end());
    return levels[levels.size() / 2];
}

// The mix's stems, read to hear lines as the viewer does.
struct MixStems {
    Audio voices, music, effects;

    explicit MixStems(const std::string& dir)
        : voices(readWav(dir + "/voices.wav")), music(readWav(dir + "/music.wav")), effects(readWav(dir + "/effects.wav"))
    {
        if (voices.channels != 1 || music.channels != 2 || effects.channels != 2 || music.sampleRate != voices.sampleRate ||
            effects.sampleRate != voices.sampleRate)
            throw std::runtime_error(dir + ": the stems must be mono voices and stereo music and effects at one rate");
    }

    // Music and effects, in mono, over [from, from + count) frames.
    std::vector<float> rest(size_t from, size_t count) const
    {
        std::vector<float> out(count, 0.0f);
        for (size_t i = 0; i < count; ++i)
            for (const Audio* stem : {&music, &effects})
                if (2 * (from + i) + 1 < stem->samples.size())
                    out[i] += 0.5f * (stem->samples[2 * (from + i)] + stem->samples[2 * (from + i) + 1]);
        return out;
    }

    // The voice in the mix over [from, to) frames.
    std::vector<float> voice(size_t from, size_t to) const
    {
        from = std::min(from, voices.samples.size());
        to = std::min(to, voices.samples.size());
        return std::vector<float>(voices.samples.begin() + long(from), voices.samples.begin() + long(to));
    }
};

// `voice` laid over `rest` (which is at least as long).
std::vector<float> over(std::vector<float> rest, const std::vector<float>& voice, float gain)
{
    for (size_t i = 0; i < voice.size() && i < rest.size(); ++i)
        rest[i] += gain * voice[i];
    return rest;
}

int run(const std::vector<std::string>& arguments)
{
    size_t limit = size_t(-1);
    std::string stemsDir;
    std::vector<std::string> args;
    for (ArgumentReader reader(arguments); reader.next();) {
        if (reader.isOption("--lines"))
            limit = size_t(ArgumentReader::integer("--lines", reader.value(), 0, 1000000));
        else if (reader.isOption("--stems"))
            stemsDir = reader.value();
        else
            args.push_back(reader.operand());
    }
    if (args.size() != 3)
        throw UsageError("needs the voice stem, the line table and the dialog folder");
    Audio stem = readWav(args[0]);
    if (stem.channels != 1)
        throw std::runtime_error(args[0] + ": the voice stem must be mono");
    std::vector<SpokenLine> lines = readLineTable(args[1]);
    const std::string dialogDir = args[2];

    std::unique_ptr<MixStems> stems;
    if (!stemsDir.empty())
        stems = std::make_unique<MixStems>(stemsDir);

    const size_t count = std::min(limit, lines.size());
    std::unique_ptr<Recogniser> recogniser;
    if (count > 0)
        recogniser = std::make_unique<Recogniser>();
    size_t referenceWords = 0, builtErrors = 0, espeakErrors = 0, mixedErrors = 0, mixedEspeakErrors = 0;
    std::map<std::string, std::pair<size_t, size_t>> bySpeaker; // errors, words
    if (stems)
        std::printf("%-9s %-10s %6s %6s %6s %6s  %s\n", "start", "speaker", "built", "espeak", "mixed", "mix-es",
                    "text / heard (built) / heard (mixed)");
    else
        std::printf("%-9s %-10s %6s %6s  %s\n", "start", "speaker", "built", "espeak", "text / heard (built)");
    for (size_t k = 0; k < count; ++k) {
        const SpokenLine& line = lines[k];
        std::vector<std::string> reference = words(line.text);
        size_t from = std::min(stem.samples.size(), size_t(line.start * stem.sampleRate));
        size_t to = std::min(stem.samples.size(), size_t(std::ceil(line.end * stem.sampleRate)));
        std::vector<std::string> built =
            recogniser->hear(std::vector<float>(stem.samples.begin() + long(from), stem.samples.begin() + long(to)),
                            stem.sampleRate);
        int rate = 0;
        std::vector<float> espeakVoice = plainEspeak(line.text, rate);
        std::vector<std::string> espeak = recogniser->hear(espeakVoice, rate);
        size_t b = editDistance(reference, built), e = editDistance(reference, espeak);
        referenceWords += reference.size();
        builtErrors += b;
        espeakErrors += e;
        bySpeaker[line.speaker].first += b;
        bySpeaker[line.speaker].second += reference.size();
        auto joined = [](const std::vector<std::string>& heard) {
            std::string text;
            for (const std::string& w : heard)
                text += (text.empty() ? "" : " ") + w;
            return text;
        };
        const double words = double(reference.size());
        if (stems) {
            // The line as the viewer hears it, and espeak-ng's sentence at the
            // voice's level in the mix over the same music and effects.
            const std::vector<float> voice = stems->voice(from, to);
            std::vector<std::string> mixed =
                recogniser->hear(over(stems->rest(from, to - from), voice, 1.0f), stem.sampleRate);
            std::vector<float> plain = resample(espeakVoice, rate, stem.sampleRate);
            const float gain = float(std::pow(10.0, (speakingLevel(voice, stem.sampleRate) -
                                                     speakingLevel(plain, stem.sampleRate)) / 20.0));
            std::vector<std::string> mixedEspeak = recogniser->hear(
                over(stems->rest(from, std::max(plain.size(), to - from)), plain, gain), stem.sampleRate);
            size_t m = editDistance(reference, mixed), me = editDistance(reference, mixedEspeak);
            mixedErrors += m;
            mixedEspeakErrors += me;
            std::printf("%-9.3f %-10s %6.2f %6.2f %6.2f %6.2f  %s\n%48s%s\n%48s%s\n", line.start, line.speaker.c_str(),
                        double(b) / words, double(e) / words, double(m) / words, double(me) / words, line.text.c_str(),
                        "/ ", joined(built).c_str(), "/ ", joined(mixed).c_str());
        } else {
            std::printf("%-9.3f %-10s %6.2f %6.2f  %s\n%34s%s\n", line.start, line.speaker.c_str(), double(b) / words,
                        double(e) / words, line.text.c_str(), "/ ", joined(built).c_str());
        }
        std::fflush(stdout);
    }
    if (count > 0)
        std::printf("\nword error rate over %zu lines (%zu words): built voices %.2f, plain espeak-ng %.2f (ratio %.2f)\n",
                count, referenceWords, double(builtErrors) / double(referenceWords),
                double(espeakErrors) / double(referenceWords), double(builtErrors) / double(std::max<size_t>(espeakErrors, 1)));
    if (count > 0 && stems)
        std::printf("in the mix: built voices %.2f (%+.2f against the clean stem), plain espeak-ng %.2f (ratio %.2f)\n",
                double(mixedErrors) / double(referenceWords),
                double(mixedErrors) / double(referenceWords) - double(builtErrors) / double(referenceWords),
                double(mixedEspeakErrors) / double(referenceWords),
                double(mixedErrors) / double(std::max<size_t>(mixedEspeakErrors, 1)));
    for (const auto& [speaker, tally] : bySpeaker)
        std::printf("  %-10s %.2f over %zu words\n", speaker.c_str(), double(tally.first) / double(tally.second),
                    tally.second);

    // Every interval of every script the lines name.
    std::map<std::string, bool> scripts;
    for (const SpokenLine& line : lines)
        scripts[line.script] = true;
    std::map<std::string, std::vector<double>> levels; // per script: the sounding frames' levels
    double total = 0, sounding = 0, lowest = 1.0;
    std::string lowestWhere;
    size_t intervals = 0;
    for (const auto& [script, unused] : scripts) {
        for (const auto& [a, b] : readIntervals(dialogDir + "/" + script)) {
            double share = soundingShare(stem.samples, stem.sampleRate, a, b);
            size_t from = std::min(stem.samples.size(), size_t(a * stem.sampleRate));
            size_t to = std::min(stem.samples.size(), size_t(b * stem.sampleRate));
            std::vector<double> frames = soundingLevels(stem.samples.data() + from, to - from, stem.sampleRate);
            levels[script].insert(levels[script].end(), frames.begin(), frames.end());
            total += b - a;
            sounding += share * (b - a);
            ++intervals;
            if (share < lowest) {
                lowest = share;
                lowestWhere = script + " at " + std::to_string(a);
            }
        }
    }
    for (auto& [script, frames] : levels) {
        std::nth_element(frames.begin(), frames.begin() + long(frames.size() / 2), frames.end());
        std::printf("  %-18s median speech level %.1f dBFS\n", script.c_str(), frames[frames.size() / 2]);
    }
    std::printf("voice sounds in %.3f of %zu dialog intervals' %.1f s; lowest %.3f (%s)\n", sounding / total, intervals,
                total, lowest, lowestWhere.c_str());
    return ToolMain::kSuccess;
}

} // namespace

int main(int argc, char** argv)
{
    return ToolMain("measure-voices", kUsage).run(argc, argv, run);
}
