#include "FliteSpeech.h"

#include "Resample.h"

extern "C" {
#include <flite/flite.h>
cst_voice* register_cmu_us_slt(const char* voxdir);
cst_voice* register_cmu_us_rms(const char* voxdir);
cst_voice* register_cmu_us_awb(const char* voxdir);
cst_voice* register_cmu_us_kal16(const char* voxdir);
}

#include <map>
#include <stdexcept>

namespace {

constexpr int kSampleRate = 44100;

// The voice named `name`, registered on first use; nullptr for a name
// Flite does not have.
cst_voice* fliteVoice(const std::string& name)
{
    static std::map<std::string, cst_voice*> voices;
    auto found = voices.find(name);
    if (found != voices.end())
        return found->second;
    if (voices.empty())
        flite_init();
    cst_voice* voice = name == "slt"     ? register_cmu_us_slt(nullptr)
                     : name == "rms"     ? register_cmu_us_rms(nullptr)
                     : name == "awb"     ? register_cmu_us_awb(nullptr)
                     : name == "kal16"   ? register_cmu_us_kal16(nullptr)
                                         : nullptr;
    if (voice)
        voices[name] = voice;
    return voice;
}

} // namespace

const char* const kFliteVoiceNames = "slt, rms, awb, kal16";

bool isFliteVoice(const std::string& voice)
{
    return voice == "slt" || voice == "rms" || voice == "awb" || voice == "kal16";
}

std::vector<float> fliteSpeak(const std::string& voiceName, double pitch, double stretch, const std::string& text)
{
    cst_voice* voice = isFliteVoice(voiceName) ? fliteVoice(voiceName) : nullptr;
    if (!voice)
        throw std::runtime_error("Flite has no voice \"" + voiceName + "\" (" + kFliteVoiceNames + ")");
    feat_set_float(voice->features, "f0_shift", float(pitch));
    feat_set_float(voice->features, "duration_stretch", float(stretch));
    cst_wave* wave = flite_text_to_wave(text.c_str(), voice);
    if (!wave || cst_wave_num_samples(wave) == 0) {
        if (wave)
            delete_wave(wave);
        throw std::runtime_error("Flite could not speak \"" + text + "\"");
    }
    std::vector<float> raw(size_t(cst_wave_num_samples(wave)));
    for (size_t i = 0; i < raw.size(); ++i)
        raw[i] = float(cst_wave_samples(wave)[i]) / 32768.0f;
    const int rate = cst_wave_sample_rate(wave);
    delete_wave(wave);
    return resample(raw, rate, kSampleRate);
}
