// Timed captions in a WebVTT file: reading, finding the cue of a moment,
// cutting a stretch out, and writing. The reader takes what browsers, ffmpeg
// and video players write and read: the WEBVTT header, optional cue
// identifiers, "hh:mm:ss.mmm" or "mm:ss.mmm" times, cue settings (those the
// captions honour kept, see CueSettings; the rest ignored), NOTE, STYLE and REGION blocks (skipped), markup tags (dropped; a '<' that
// no '>' closes is text) and the character references &amp; &lt; &gt; &nbsp;
// &lrm; &rlm; and &#N; &#xH; (decoded). It is bounded: a file, a cue and a
// line no larger than captions on a picture can be, so that whoever draws a
// cue knows its size. When to show a cue and how its lines break is decided
// where the file is made; how it is drawn is the drawer's. Touches no GL and
// no file but the one it is asked to read.
#pragma once

#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "CueSettings.h"

namespace quorvane_engine {

// A fault in a cue file; the message starts with "path:line: ".
struct CueError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct Cue {
    Cue() = default;
    Cue(double start, double end, std::vector<std::string> lines, CueSettings settings = {})
        : start(start)
        , end(end)
        , lines(std::move(lines))
        , settings(settings)
    {
    }

    double start = 0.0;             // seconds; shown from here...
    double end = 0.0;               // ...up to, not including, here
    std::vector<std::string> lines; // plain text, UTF-8, one entry per line
    CueSettings settings;           // where it stands; by default the captions' own place
};

class CueList {
public:
    // The largest cue: lines, and characters (code points) on a line. The
    // content build sets two lines of up to 42; a hand edit gets some room.
    static constexpr size_t kMaxLines = 3;
    static constexpr size_t kMaxLineLength = 50;
    // The largest file, in bytes: the show's captions take some 6 KiB.
    static constexpr size_t kMaxBytes = 1024 * 1024;

    // Parses WebVTT `text`; `path` names it in messages. Cues are kept in the
    // order of their start times. Throws CueError ("path:line: reason") on the
    // first fault: no WEBVTT header, a timing line that does not read, a cue
    // that ends before it starts or has no text, a cue or line over the
    // bounds above (the line named), a text over kMaxBytes.
    static CueList parse(const std::string& text, const std::string& path);
    // Reads and parses the file at `path`; throws CueError when it does not
    // open or does not parse.
    static CueList load(const std::string& path);

    // The cue shown at `time` (start <= time < end), or nullptr. Where cues
    // overlap, the one that started last. Allocates nothing.
    const Cue* at(double time) const;

    // The cues shown at some moment of [from, to), cut to that stretch and
    // moved to start from 0 (a cue from 9 to 12 in [10, 20) becomes 0 to 2).
    CueList range(double from, double to) const;

    // The WebVTT text of the cues: times to the millisecond, the settings
    // honoured, "&", "<" and ">" written as character references.
    std::string toWebVtt() const;

    std::vector<Cue> cues;
};

} // namespace quorvane_engine
