// The files the show reads by fixed path, relative to the working directory;
// everything else is named by the resource list.
#pragma once

struct ShowFiles {
    // The resource list.
    static constexpr const char* kConfig = "data/config.txt";
    // The music track the show plays once and is timed against.
    static constexpr const char* kMusic = "data/duskwalk.ogg";
    // The programmer's second dialog script, read by the home scene.
    static constexpr const char* kProgrammerDialog = "data/programmer.dialog";
    // The captions (WebVTT), made by the content build from the screenplay;
    // shown by the player and the capture tool with --captions.
    static constexpr const char* kCaptions = "data/captions.vtt";
};
