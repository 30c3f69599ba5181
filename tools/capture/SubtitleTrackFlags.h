// Turns the subtitle tracks of an MP4 or QuickTime file off by default, in
// place. ffmpeg's MP4 muxer marks the first track of every kind as enabled
// (the track header's flag that MP4 players take as "show this"), whatever
// the stream's disposition says; clearing that flag on the subtitle tracks
// leaves captions off until the viewer chooses them, as Matroska's default
// flag does. Reads the movie box and changes one byte per subtitle track;
// nothing else of the file.
#pragma once

#include <string>

class SubtitleTrackFlags {
public:
    // Clears the enabled flag of every subtitle track ("sbtl", "text" or
    // "subt" handler) of the file at `path`. False with the reason in
    // `error` when the file cannot be read or written or holds no movie box.
    static bool leaveOff(const std::string& path, std::string& error);
};
