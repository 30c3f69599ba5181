// The captions in the makers' player: the cues of data/captions.vtt drawn
// over the picture, on from the start with --captions, switched with key C,
// read again when the file changes. The file and the font are read the first
// time captions show; what cannot be read is said once on standard error
// ("quorvane: warning: ...") and the show plays on without captions. Needs
// the GL context.
#pragma once

#include <memory>
#include <string>

#include "engine/CaptionPainter.h"
#include "engine/CueList.h"

class CaptionLayer {
public:
    explicit CaptionLayer(bool shown);
    ~CaptionLayer();

    // Shows or hides the captions; whether they are shown.
    void toggle();
    bool shown() const { return shown_; }

    // Draws the cue of show time `time` over a picture of `width` x `height`
    // pixels (the viewport), when captions are shown.
    void draw(double time, int width, int height);

    // Reads the captions file again and sets `message` to say so, with the
    // number of cues; false when it does not read, which leaves the captions
    // as they were, and the message says whether there were any.
    bool reload(std::string& message);
    // True when captions were read (and are drawn when shown).
    bool hasCues() const { return haveCues; }

private:
    // Reads the file and the font unless done, or tried since the last change.
    void load();

    bool shown_;
    bool tried = false;    // load() ran since the last toggle or reload
    bool haveCues = false;
    quorvane_engine::CueList cues;
    std::unique_ptr<quorvane_engine::CaptionPainter> painter;
};
