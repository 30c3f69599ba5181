// The real quorvane run as a process in a test show's folder, on the test's
// X display, with its standard output and error in files; and what a test
// needs around it: music of a given length, the window, a screenshot.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "GlTest.h"
#include "TestShow.h"

struct AppProcess {
    pid_t pid = -1;
    std::string outPath;
    std::string errPath;

    // Starts quorvane with `arguments` in the current folder, with
    // `environment` added; without DISPLAY when `withDisplay` is false.
    static AppProcess start(const TestShow& show, const std::vector<std::string>& arguments = {},
        const std::vector<std::string>& environment = {"SDL_AUDIODRIVER=dummy"}, bool withDisplay = true);

    // The exit code (128 + the signal for a killed process), or -1 if the
    // process did not end within `limit` (it is then killed).
    int waitFor(std::chrono::seconds limit) const;
    std::string out() const;
    std::string err() const;
};

// True once `text` stands `times` times in what `what()` gives, within
// `limit`; asks again every 50 ms.
bool within(const std::function<std::string()>& what, const std::string& text,
    std::chrono::seconds limit = std::chrono::seconds(15), int times = 1);

bool shell(const std::string& command);
// What `command` prints on standard output.
std::string output(const std::string& command);
// Writes data/duskwalk.ogg of `seconds` seconds of a quiet tone.
void writeMusic(const TestShow& show, double seconds);
// True once a window named "Quorvane" is mapped, within `limit`.
bool windowAppears(std::chrono::seconds limit);
// The X screen (window "root") or the Quorvane window as RGBA rows; empty
// when it cannot be taken.
std::vector<uint8_t> screenshot(const TestShow& show, bool wholeScreen, int& width, int& height);
bool haveDisplay();
// Asks the Quorvane window to close, as a window manager's close button
// does (WM_DELETE_WINDOW); false when there is no such window.
bool requestWindowClose();
