// The captions of the screenplay: one cue per spoken line, "Name: words", and
// one per stage direction, "[words]", each timed and broken into lines by the
// rules below. The rules live here and nowhere else; the player, the capture
// tool and the web page only read the cues made. Pure: reads and writes no
// file.
#pragma once

#include <string>
#include <vector>

#include "Screenplay.h"
#include "engine/CueList.h"

class CaptionTiming {
public:
    // A spoken cue stays this long after its voice ends...
    static constexpr int kLingerMs = 800;
    // ...and at least this long in all; never past the next cue's start or
    // the scene cut after it.
    static constexpr int kShortestMs = 1500;
    // Characters shown (the speaker's name too: the viewer reads it) per
    // second of the cue, at most; a cue is held longer where there is room.
    static constexpr double kMaxCharactersPerSecond = 17.0;
    // At most this many lines of at most this many characters.
    static constexpr int kMaxLines = 2;
    static constexpr int kMaxLineLength = 42;

    // `text` on one line when it fits, else on two: broken at the end of a
    // sentence where both lines fit, else after a comma, else between two
    // phrases (never parting a verb from its object), as evenly as the
    // spaces allow; empty when it does not fit two so. Lengths count UTF-8 characters.
    static std::vector<std::string> breakLines(const std::string& text);

    // Whether a line may end with `word` (as written, with its punctuation):
    // not with a word that leans on the next one, as an article, a
    // preposition, "of", a possessive, a pronoun or an auxiliary before
    // its verb does.
    static bool endsPhrase(const std::string& word);

    // Whether a line ending with `last` and the next starting with `next`
    // would part a verb from its object: the next line starts with an
    // object pronoun ("offered / me"), or the line ends with one and the
    // next starts with the thing given ("offered me / a fortune").
    static bool partsObject(const std::string& last, const std::string& next);

    // The cues of `play`: `voiceEnds[i]` is where the voice of `play.lines[i]`
    // ends (seconds), `cuts` the scene boundaries in increasing order (the
    // show's first start to its end); a cue starting in a scene window whose
    // captions the screenplay places takes those settings. Throws
    // ScreenplayError naming the screenplay's line whose caption breaks a
    // rule: a speaker without a name, text that does not fit, a cue that
    // cannot last 1.5 s or be read (all of it, the name too) at 17
    // characters a second before the next cue or the scene cut, a stage
    // direction that runs into either; or a placement with a setting the
    // captions do not honour.
    static quorvane_engine::CueList make(
        const Screenplay& play, const std::vector<double>& voiceEnds, const std::vector<double>& cuts);
};
