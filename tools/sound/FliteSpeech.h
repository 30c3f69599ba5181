// Speech from Flite's built-in voices through its C library: a sentence in
// a voice at a pitch and pace, as 44100 Hz mono floats. Levels, timing and
// what the speech is for are the callers' work.
#pragma once

#include <string>
#include <vector>

// The names of the voices fliteSpeak knows, for messages.
extern const char* const kFliteVoiceNames; // "slt, rms, awb, kal16"

// Whether `voice` names a Flite voice fliteSpeak knows.
bool isFliteVoice(const std::string& voice);

// `text` spoken by the Flite voice `voice` with its pitch times `pitch` and
// every sound lengthened by `stretch`, resampled to 44100 Hz. Throws
// std::runtime_error when the voice is unknown or Flite gives no sound.
std::vector<float> fliteSpeak(const std::string& voice, double pitch, double stretch, const std::string& text);
