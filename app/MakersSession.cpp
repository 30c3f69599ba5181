#include "MakersSession.h"

#include <GL/glew.h>
#include <SDL.h>

#include <cstdio>

#include "CaptionLayer.h"
#include "Letterbox.h"
#include "MusicTrack.h"
#include "Overlay.h"
#include "PlayerWindow.h"
#include "SourceBuilder.h"
#include "StartPoint.h"
#include "StopSignal.h"
#include "TrackLoader.h"
#include "UsageError.h"
#include "engine/Scene.h"
#include "engine/SceneLabel.h"
#include "engine/SceneStepper.h"
#include "show/MyDemo.h"
#include "show/ShowFiles.h"

namespace {

// One frame of the frame keys: 1/30 s.
constexpr double kFrameStep = 1.0 / 30.0;
constexpr double kSeekStep = 5.0;
constexpr double kShortSeekStep = 1.0;

} // namespace

MakersSession::MakersSession(const PlayerOptions& options, const PlayerWindow& window, MyDemo& show,
    std::unique_ptr<MusicTrack> track, std::unique_ptr<ContentReloader> reloader,
    std::unique_ptr<SourceBuilder> builder, bool silent)
    : options(options)
    , window(window)
    , show(show)
    , reloader(std::move(reloader))
    , builder(std::move(builder))
{
    // The scene names are known only now; a bad --start throws UsageError.
    const double start = StartPoint::resolve(options.start.empty() ? "0" : options.start, show);
    const double length = track->length();
    if (length > 0.0 && start > length) {
        char seconds[32];
        std::snprintf(seconds, sizeof seconds, "%.1f", length);
        throw UsageError("--start: " + options.start + " lies past the end of the show (" + seconds + " s)");
    }
    transport = std::make_unique<ShowTransport>(show, std::move(track), silent, options.paused);
    captions = std::make_unique<CaptionLayer>(options.captions);
    if (this->reloader) {
        for (const std::string& warning : this->reloader->attach(show))
            std::fprintf(stderr, "quorvane: %s\n", warning.c_str());
        trackLoader = std::make_unique<TrackLoader>(ShowFiles::kMusic);
        // The track is read on its own thread; frame() says how it went.
        this->reloader->watch(ShowFiles::kMusic, [this] {
            trackLoader->start();
            return ContentReloader::Outcome{};
        });
        this->reloader->watch(ShowFiles::kCaptions, [this] {
            ContentReloader::Outcome outcome;
            outcome.kept = !captions->reload(outcome.message) && captions->hasCues();
            return outcome;
        });
        overlay = std::make_unique<Overlay>();
    }
    transport->seek(start);
    const ShowClock& clock = transport->clock();
    printTime(options.paused ? "paused" : "time", clock.time());
    lastFrame = ShowTransport::now();
}

MakersSession::~MakersSession() = default;

void MakersSession::printTime(const char* what, double time) const
{
    if (!options.printTime)
        return;
    const int scene = StartPoint::sceneAt(show, time);
    std::printf("%s %.6f scene %d %s\n", what, time, scene + 1, SceneLabel::className(*show.scenes[scene]).c_str());
    std::fflush(stdout);
}

void MakersSession::reloaded(const ContentReloader::Outcome& outcome)
{
    if (outcome.message.empty())
        return; // goes on in the background and speaks when done
    std::printf("%s\n", outcome.message.c_str());
    for (const std::string& note : outcome.notes)
        std::printf("  %s\n", note.c_str());
    std::fflush(stdout);
    lastReload = outcome.message;
    transport->scenes().restart();
}

std::vector<std::string> MakersSession::overlayLines(double time) const
{
    const int scene = StartPoint::sceneAt(show, time);
    const quorvane_engine::Scene& current = *show.scenes[scene];
    char text[256];
    std::vector<std::string> lines;
    std::snprintf(text, sizeof text, "%.3f s   scene %d/%d %s   +%.3f s", time, scene + 1,
        static_cast<int>(show.scenes.size()), SceneLabel::className(current).c_str(), time - current.startTime);
    lines.push_back(text);
    std::snprintf(text, sizeof text, "%.1f fps   %.1f ms a frame", frameSeconds > 0.0 ? 1.0 / frameSeconds : 0.0,
        frameSeconds * 1000.0);
    lines.push_back(text);
    const ShowClock& clock = transport->clock();
    std::string state = clock.paused() ? "paused" : "playing";
    if (clock.speed() != 1.0)
        state += clock.speed() == 0.5 ? " at 1/2 speed, silent" : " at 1/4 speed, silent";
    else if (transport->silent())
        state += ", silent";
    lines.push_back(state);
    if (!lastReload.empty())
        lines.push_back(lastReload);
    return lines;
}

bool MakersSession::handle(const SDL_Event& event)
{
    if (event.type == SDL_QUIT)
        return false;
    if (event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
        window.fitViewport();
        return true;
    }
    if (event.type != SDL_KEYDOWN)
        return true;
    const PlayerKey* binding = PlayerKeys::find(event.key.keysym.sym, (event.key.keysym.mod & KMOD_SHIFT) != 0);
    if (!binding)
        return true;
    if (binding->action == PlayerAction::End)
        return false;
    if (options.edit)
        perform(binding->action);
    return true;
}

void MakersSession::perform(PlayerAction action)
{
    ShowTransport& playback = *transport;
    const ShowClock& clock = playback.clock();
    const double time = clock.time();
    const int scene = StartPoint::sceneAt(show, time);
    switch (action) {
    case PlayerAction::PauseResume:
        playback.setPaused(!clock.paused());
        printTime(clock.paused() ? "paused" : "playing", clock.time());
        return;
    case PlayerAction::Back:
    case PlayerAction::Forward:
        playback.seek(time + (action == PlayerAction::Back ? -kSeekStep : kSeekStep));
        break;
    case PlayerAction::ShortBack:
    case PlayerAction::ShortForward:
        playback.seek(time + (action == PlayerAction::ShortBack ? -kShortSeekStep : kShortSeekStep));
        break;
    case PlayerAction::PreviousScene:
        playback.seek(StartPoint::sceneEntry(show, scene - 1));
        break;
    case PlayerAction::NextScene:
        if (scene + 1 < static_cast<int>(show.scenes.size()))
            playback.seek(StartPoint::sceneEntry(show, scene + 1));
        break;
    case PlayerAction::Home:
        playback.seek(0.0);
        break;
    case PlayerAction::FrameBack:
    case PlayerAction::FrameForward:
        if (!clock.paused())
            return;
        playback.seek(time + (action == PlayerAction::FrameBack ? -kFrameStep : kFrameStep));
        break;
    case PlayerAction::Speed1:
    case PlayerAction::SpeedHalf:
    case PlayerAction::SpeedQuarter:
        playback.setSpeed(action == PlayerAction::Speed1 ? 1.0 : action == PlayerAction::SpeedHalf ? 0.5 : 0.25);
        break;
    case PlayerAction::Overlay:
        overlayShown = !overlayShown;
        return;
    case PlayerAction::ReloadAll:
        reloaded(reloader->reloadAll());
        return;
    case PlayerAction::Captions:
        captions->toggle();
        return;
    case PlayerAction::End:
        return;
    }
    printTime("time", clock.time());
}

bool MakersSession::frame()
{
    bool quit = false;
    SDL_Event event;
    while (SDL_PollEvent(&event))
        quit = quit || !handle(event);
    // Stopped by a signal, no new build may start: the player is ending it.
    quit = quit || StopSignal::requested();
    const double polled = ShowTransport::now();
    if (builder && !quit)
        for (const std::string& line : builder->poll(polled))
            reloaded({line, false, {}});
    if (reloader)
        for (const ContentReloader::Outcome& outcome : reloader->poll(polled))
            reloaded(outcome);
    TrackLoader::Result read;
    if (trackLoader && trackLoader->finished(read)) {
        ContentReloader::Outcome outcome;
        outcome.message = transport->adopt(std::move(read), outcome.kept);
        reloaded(outcome);
    }
    const double time = transport->frameTime();
    const double length = transport->musicLength();
    const bool ended = !transport->clock().paused() && length > 0.0 && time >= length;
    if (ended && options.loop) {
        transport->seek(0.0);
        printTime("time", transport->clock().time());
        return !quit;
    }
    transport->scenes().moveTo(time);
    // The picture undistorted in the window, whatever its shape.
    int width = 0;
    int height = 0;
    window.drawableSize(width, height);
    const Letterbox::Rect picture = Letterbox::fit(width, height);
    glViewport(picture.x, picture.y, picture.width, picture.height);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    show.draw(time);
    captions->draw(time, picture.width, picture.height);
    Letterbox::clearBars(picture, width, height);
    if (overlay && overlayShown)
        overlay->draw(overlayLines(time), picture.width, picture.height);
    window.swap();
    const double frameEnd = ShowTransport::now();
    transport->frameShown(frameEnd);
    const double interval = frameEnd - lastFrame;
    frameSeconds = frameSeconds == 0.0 ? interval : 0.9 * frameSeconds + 0.1 * interval;
    lastFrame = frameEnd;
    return !(quit || ended);
}
