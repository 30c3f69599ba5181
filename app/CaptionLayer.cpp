#include "CaptionLayer.h"

#include <cstdio>

#include "show/ShowFiles.h"

CaptionLayer::CaptionLayer(bool shown)
    : shown_(shown)
{
}

CaptionLayer::~CaptionLayer() = default;

void CaptionLayer::toggle()
{
    shown_ = !shown_;
    if (shown_ && !(haveCues && painter))
        tried = false; // say again what is missing, it may be there now
}

void CaptionLayer::load()
{
    if (tried)
        return;
    tried = true;
    if (!haveCues) {
        try {
            cues = quorvane_engine::CueList::load(ShowFiles::kCaptions);
            haveCues = true;
        } catch (const quorvane_engine::CueError& error) {
            std::fprintf(stderr, "quorvane: warning: %s; no captions\n", error.what());
            return;
        }
    }
    if (painter)
        return;
    auto made = std::make_unique<quorvane_engine::CaptionPainter>();
    if (!made->ok()) {
        std::fprintf(stderr, "quorvane: warning: %s; no captions\n", made->error().c_str());
        return;
    }
    painter = std::move(made);
}

void CaptionLayer::draw(double time, int width, int height)
{
    if (!shown_)
        return;
    load();
    if (haveCues && painter)
        painter->draw(cues.at(time), width, height);
}

bool CaptionLayer::reload(std::string& message)
{
    try {
        cues = quorvane_engine::CueList::load(ShowFiles::kCaptions);
    } catch (const quorvane_engine::CueError& error) {
        message = std::string(error.what()) + (haveCues ? "; the old captions are kept" : "; no captions");
        return false;
    }
    haveCues = true;
    tried = false;
    const size_t count = cues.cues.size();
    message = "reloaded " + std::string(ShowFiles::kCaptions) + " (" + std::to_string(count)
        + (count == 1 ? " cue)" : " cues)");
    return true;
}
