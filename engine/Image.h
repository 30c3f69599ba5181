// An image file decoded into 8-bit RGBA rows, top row first, or the reason
// it could not be. Decoding touches no GL state, so it may run on any thread.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

class Image {
public:
    // Largest image accepted, checked from the file's header before any
    // pixel is decoded, so that a forged header cannot make us allocate
    // gigabytes; and the largest file read at all.
    static constexpr int kMaxSide = 16384;
    static constexpr long long kMaxPixels = 8192LL * 8192LL;
    static constexpr long long kMaxFileBytes = 256LL << 20;

    // Reads and decodes the file at `path`.
    static Image load(const std::string& path);
    // Decodes an image held in memory.
    static Image decode(const unsigned char* bytes, size_t size);

    bool ok() const { return pixels != nullptr; }

    int width = 0;
    int height = 0;
    std::unique_ptr<unsigned char, void (*)(void*)> pixels{nullptr, nullptr};
    std::string error; // why there are no pixels; empty when ok()
};
