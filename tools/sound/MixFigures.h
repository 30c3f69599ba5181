// The figures that tell whether a viewer hears the lines of a finished mix:
// each line's voice over everything else in the track, how far the music's
// gain rises between two lines, and how fast a line is spoken. They read
// the mix's stems; making the mix is mix-soundtrack's work.
#pragma once

#include "WavFile.h"

#include <string>
#include <vector>

// The voice over the rest of the mix in dB over the 10 ms frames of
// [start, end) seconds in which `speech` (the voice stem at its speaking
// level, mono) sounds: the energy of `voice` (the voice as mixed) over that
// of `rest` (everything else as mixed) in those frames. Both have the same
// rate and channel count. 200 when the rest is silent there; 0 when the voice
// never sounds.
double voiceOverRest(const Audio& speech, const Audio& voice, const Audio& rest, double start, double end);

// How far a sound effect stands over the rest of the mix, per 100 ms block
// of [from, to) seconds: in the octave band (centres 125 Hz to 8 kHz) where
// it stands highest in that block, the energy of `effect` over that of
// `rest` (both as mixed, the same rate and channels), in dB; -200 for a
// block in which the effect is silent, 200 where only it sounds.
std::vector<double> effectOverRest(const Audio& effect, const Audio& rest, double from, double to);

// The gain in dB of `mixed` against `source` (the same music before the mix
// turned it up or down) per 10 ms frame of [from, to) seconds, for the frames
// in which the source reaches -60 dBFS; frames below that are left out.
std::vector<double> gainPerFrame(const Audio& mixed, const Audio& source, double from, double to);

// How far the gain rises over [from, to): its highest value there minus its
// value in the first frame (0 if it never rises, or no frame counts).
double gainRise(const Audio& mixed, const Audio& source, double from, double to);

// Takes DC and sub-bass rumble (a first-order high-pass at 25 Hz) out of
// every channel of `audio`: what the mix does to the music before anything
// else, so the music's gain is read against the music so treated.
void removeRumble(Audio& audio);

// `audio` in the band where a voice carries its words, 300 Hz to 4 kHz
// (fourth-order Butterworth edges): where a voice must stand out to be
// understood, whatever the bass under it.
Audio speechBand(const Audio& audio);

// The number of words of `text`: runs of letters, digits and apostrophes.
size_t wordCount(const std::string& text);

// Words of `text` per second of the span [start, end); 0 for an empty span.
double wordsPerSecond(const std::string& text, double start, double end);

// `a` + `b` sample by sample (the same rate and channel count; the result
// is as long as the longer).
Audio sum(const Audio& a, const Audio& b);
