// The show played as made: the music started once, the tick clock from that
// moment, every frame one MyDemo::render at the clock's time over the whole
// window, only Escape heard, and the end when the music ends (or, with no
// audio device, when the clock passes the music's length).
#pragma once

class MusicTrack;
class MyDemo;
class PlayerWindow;

class ShowAsMade {
public:
    // Starts the music of `track`; `silent` when the audio goes to no
    // device. Throws std::runtime_error when the music does not play.
    ShowAsMade(const PlayerWindow& window, MyDemo& show, const MusicTrack& track, bool silent);

    // Draws and shows one frame; false once it was the last (Escape, or the
    // music's end).
    bool frame();

private:
    const PlayerWindow& window;
    MyDemo& show;
    bool silent;
    double musicLength; // seconds; 0 when unknown
    double startTicks;
};
