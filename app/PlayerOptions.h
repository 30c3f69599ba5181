// The command line of quorvane. Without options it plays the show as made:
// full screen, only Escape, ending with the music. The options turn it into a
// player for the people who make the show. Reads the arguments only; touches
// no file, and leaves the meaning of --start (which needs the scenes) to
// StartPoint.
#pragma once

#include <string>
#include <vector>

struct PlayerOptions {
    static constexpr int kDefaultWidth = 1280;
    static constexpr int kDefaultHeight = 720;
    static constexpr int kMaxSide = 16384;

    bool window = false; // a resizable window instead of full screen
    int width = kDefaultWidth;
    int height = kDefaultHeight;
    bool fullscreen = false; // given explicitly: keeps --edit full screen
    std::string start;       // seconds, a scene's class name or number; empty: 0
    bool paused = false;
    bool mute = false;
    bool loop = false;
    bool edit = false;      // the maker's keys, the overlay and live reload
    bool printTime = false; // one line on stdout per seek, pause and key
    bool captions = false;  // the captions of data/captions.vtt over the picture
    std::string directory;  // -C: where data/ lies; empty: the working directory

    // Reads the arguments after the program name. Throws UsageError for bad
    // usage and InfoRequest for --help and --version.
    static PlayerOptions parse(const std::vector<std::string>& arguments);
    // The text --help prints.
    static const char* helpText();

    // True when the show runs as made: no option changes what is seen, heard
    // or how it ends (only -C may be given).
    bool playsAsMade() const;
};
