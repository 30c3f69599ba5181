// Files for tests: a scratch folder removed afterwards, text files, and PNG
// images of solid colours or given pixels.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A fresh folder under the system's temporary folder; removed with its
// contents when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // `name` inside the folder.
    std::string path(const std::string& name) const;

    std::string root;
};

// Changes the working directory for the lifetime of the object.
class ScopedChdir {
public:
    explicit ScopedChdir(const std::string& dir);
    ~ScopedChdir();

private:
    std::string previous;
};

// The bytes of the file at `path`; empty when it cannot be read.
std::string readFile(const std::string& path);

// Writes `text` to `path`, creating parent folders.
void writeFile(const std::string& path, const std::string& text);

// Writes an 8-bit RGBA PNG of `width` x `height` filled with one colour.
void writeSolidPng(const std::string& path, int width, int height, int r, int g, int b, int a = 255);

// Writes an 8-bit PNG with `channels` (1 to 4) channels from rows, top first.
void writePng(const std::string& path, int width, int height, int channels, const std::vector<uint8_t>& pixels);

// Writes `seconds` of a quiet 440 Hz stereo tone at 44100 Hz to `path` as
// Ogg Vorbis, with sox; false when sox fails.
bool writeToneOgg(const std::string& path, double seconds);

// The project's root folder (where data/ lives), as the build knows it.
std::string sourceRoot();
