// The makers' player, once everything is up: the window of any shape with
// the picture undistorted in it (Letterbox), start time, pause, loop,
// speeds, the maker's keys (PlayerKeys) and overlay (Overlay), live reload
// (ContentReloader, with the music read again off the frame thread by
// TrackLoader), the content build on every save of a source (SourceBuilder)
// and captions (CaptionLayer); where the show is and how it moves is
// ShowTransport's. Holds GL objects: it must be gone before the GL context is.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "ContentReloader.h"
#include "PlayerKeys.h"
#include "PlayerOptions.h"
#include "ShowTransport.h"
#include "TrackLoader.h"

class CaptionLayer;
class MusicTrack;
class MyDemo;
class Overlay;
class PlayerWindow;
class SourceBuilder;
union SDL_Event;

class MakersSession {
public:
    // Takes over `track`, the reloader (with --edit) and the builder (with
    // --build), lands on --start and prints it with --print-time. Throws
    // UsageError for a --start that names no scene or lies past the end,
    // std::runtime_error when the music does not play.
    MakersSession(const PlayerOptions& options, const PlayerWindow& window, MyDemo& show,
        std::unique_ptr<MusicTrack> track, std::unique_ptr<ContentReloader> reloader,
        std::unique_ptr<SourceBuilder> builder, bool silent);
    ~MakersSession();
    MakersSession(const MakersSession&) = delete;
    MakersSession& operator=(const MakersSession&) = delete;

    // Takes the input, reloads what changed, draws and shows one frame;
    // false once it was the last (a key or the window asked to end, or the
    // show ended without --loop).
    bool frame();

private:
    // Handles one event; false when it ends the show.
    bool handle(const SDL_Event& event);
    // Does what a maker's key asks for (PlayerKeys).
    void perform(PlayerAction action);
    // Prints the show time on stdout for --print-time, with `what` happened.
    void printTime(const char* what, double time) const;
    // Prints the message of a reload and brings the scenes' state anew to the
    // present time (a dialog script may have changed).
    void reloaded(const ContentReloader::Outcome& outcome);
    // The overlay's lines for the frame at show time `time`.
    std::vector<std::string> overlayLines(double time) const;

    PlayerOptions options;
    const PlayerWindow& window;
    MyDemo& show;
    std::unique_ptr<ContentReloader> reloader; // with --edit
    std::unique_ptr<SourceBuilder> builder;    // with --build
    std::unique_ptr<TrackLoader> trackLoader;  // with --edit
    std::unique_ptr<ShowTransport> transport;
    std::unique_ptr<CaptionLayer> captions;
    std::unique_ptr<Overlay> overlay; // with --edit
    bool overlayShown = false;
    double frameSeconds = 0.0; // frame time, smoothed over some frames
    double lastFrame = 0.0;
    std::string lastReload; // the last reload's message
};
