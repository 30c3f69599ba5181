#include "ShowTransport.h"

#include <SDL_mixer.h>

#include <cstdio>
#include <stdexcept>

#include "MusicPlayhead.h"
#include "MusicTrack.h"
#include "StartPoint.h"
#include "engine/SceneStepper.h"
#include "show/MyDemo.h"
#include "show/ShowFiles.h"

ShowTransport::ShowTransport(MyDemo& show, std::unique_ptr<MusicTrack> track, bool silent, bool paused)
    : show(show)
    , track(std::move(track))
    , stepper(std::make_unique<quorvane_engine::SceneStepper>(show))
    , playhead(std::make_unique<MusicPlayhead>())
    , silent_(silent)
    , length(this->track->length())
{
    clock_.setPaused(paused, now());
}

// The playhead goes before the track it may be playing.
ShowTransport::~ShowTransport() = default;

double ShowTransport::now()
{
    return MusicPlayhead::now();
}

bool ShowTransport::audibleAt(double time, double musicLength) const
{
    return !silent_ && !clock_.paused() && clock_.speed() == 1.0 && (musicLength == 0.0 || time < musicLength);
}

void ShowTransport::syncMusic(double time)
{
    if (!audibleAt(time, length))
        playhead->stop();
    else if (!playhead->play(track->music(), time))
        throw std::runtime_error(std::string(ShowFiles::kMusic) + ": cannot play the music: " + Mix_GetError());
}

void ShowTransport::seek(double time)
{
    time = StartPoint::clamp(show, time, length);
    clock_.seek(time, now());
    stepper->moveTo(time);
    syncMusic(time);
}

void ShowTransport::setPaused(bool paused)
{
    clock_.setPaused(paused, now());
    syncMusic(clock_.time());
}

void ShowTransport::setSpeed(double speed)
{
    if (speed == clock_.speed())
        return;
    clock_.setSpeed(speed, now());
    syncMusic(clock_.time());
}

double ShowTransport::frameTime()
{
    const MusicPlayhead::Mix mix = playhead->last();
    return clock_.frameTime(now(), mix.position, mix.at);
}

void ShowTransport::frameShown(double at)
{
    clock_.frameShown(at);
}

std::string ShowTransport::adopt(TrackLoader::Result read, bool& kept)
{
    const std::string keptOld = "; the old track is kept";
    kept = true;
    if (!read.track)
        return std::string(ShowFiles::kMusic) + ": " + read.error + keptOld;
    // The new track must play where the show is before the old one goes.
    const double newLength = read.track->length();
    const double time = StartPoint::clamp(show, clock_.time(), newLength);
    // Unheard (paused, slowed), it is tried where the show is all the same,
    // or the next resume would find a track that cannot start there.
    const bool heard = audibleAt(time, newLength);
    const bool tried = !silent_ && (newLength == 0.0 || time < newLength);
    Mix_Music* music = read.track->music();
    if (heard ? !playhead->play(music, time) : tried && !playhead->startsAt(music, time)) {
        char at[32];
        std::snprintf(at, sizeof at, "%.3f", time);
        const std::string why = Mix_GetError();
        syncMusic(clock_.time());
        return std::string(ShowFiles::kMusic) + ": cannot play the new music at " + at + " s (" + why + ")" + keptOld;
    }
    if (!heard)
        playhead->stop();
    track = std::move(read.track);
    length = newLength;
    // On from the present show time, paused or not; the music plays already.
    clock_.seek(time, now());
    stepper->moveTo(time);
    kept = false;
    return "reloaded " + std::string(ShowFiles::kMusic);
}
