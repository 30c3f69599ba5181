// Where a cue stands on the picture: the WebVTT cue settings of its timing
// line that the captions honour, "line:" and "position:" as percentages of
// the picture (with their alignments) and "align:". Reading them follows
// WebVTT: a setting that does not read, or that the captions do not honour
// ("vertical:", "size:", "region:", a line number), is left out and the cue
// keeps its place for it; nothing is an error. The arithmetic of the box
// across the picture is here too, so that the painter and the web page
// place a cue alike. Touches no GL and no file.
#pragma once

#include <string>
#include <vector>

namespace quorvane_engine {

class CueSettings {
public:
    // Which edge or middle of the cue stands at its line or position:
    // "start", "center" or "end" ("line-left", "center", "line-right" for a
    // position). Automatic: the position's follows the text's alignment.
    enum class Anchor { automatic, start, center, end };
    // How the lines sit in their box; "start" and "end" read as "left" and
    // "right", the captions being set left to right.
    enum class Align { left, center, right };

    // Not given: the captions' own place, centred at the foot of the picture.
    static constexpr double kAuto = -1.0;

    // "line:P%[,start|center|end]": the cue's top (start), middle or bottom
    // (end) at P percent of the picture's height from its top; kAuto when
    // not given.
    double line = kAuto;
    Anchor lineAlign = Anchor::start;
    // "position:P%[,line-left|center|line-right]": the cue's left edge,
    // middle or right edge at P percent of the picture's width; kAuto when
    // not given.
    double position = kAuto;
    Anchor positionAlign = Anchor::automatic;
    // "align:start|center|end|left|right".
    Align align = Align::center;

    // The settings of a timing line (what follows the end time), read as
    // WebVTT reads them. The words left out are added to `ignored` when
    // given.
    static CueSettings read(const std::string& text, std::vector<std::string>* ignored = nullptr);

    // The settings as WebVTT writes them ("line:80%,end position:30%"),
    // those left as they are by default left out; "" for none.
    std::string text() const;

    // True when the cue stands anywhere but in the captions' own place.
    bool placed() const { return *this != CueSettings(); }

    // The box across the picture whose width the lines share, in percent of
    // the picture's width: WebVTT's for a horizontal cue of the full size,
    // [0, 100] when no position is given.
    void across(double& left, double& right) const;

    // How far in from the picture's sides, in percent of its width, the
    // painter moves a line that its box would put nearer, where it fits.
    static constexpr double kSideMargin = 2.0;

    bool operator==(const CueSettings& other) const;
    bool operator!=(const CueSettings& other) const { return !(*this == other); }
};

} // namespace quorvane_engine
