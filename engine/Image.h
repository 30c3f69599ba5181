// An image file decoded into 8-bit RGBA rows, top row first, or the reason
// it could not be. Decoding touches no GL state, so it may run on any thread.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

class Image {
public:
    // A rectangle of texels, x0 <= x < x1 and y0 <= y < y1, row 0 at the top.
    struct Bounds {
        int x0 = 0;
        int y0 = 0;
        int x1 = 0;
        int y1 = 0;

        bool empty() const { return x1 <= x0 || y1 <= y0; }
        bool operator==(const Bounds& other) const
        {
            return x0 == other.x0 && y0 == other.y0 && x1 == other.x1 && y1 == other.y1;
        }
    };

    // The texels with alpha above 0 in one row: from <= x < to; from == to
    // when there are none.
    struct Span {
        int from = 0;
        int to = 0;
    };

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

    // Where a texture of `rgba` (width x height texels, top row first),
    // sampled with linear filtering and repeating, can give anything but
    // transparent black: the texels with alpha above 0, grown by a margin.
    // Empty when every texel is transparent.
    static Bounds findBounds(const unsigned char* rgba, int width, int height);
    // findBounds of an image `width` wide whose rows have `rows`.
    static Bounds boundsOf(const std::vector<Span>& rows, int width);
    // The Span of every row of `rgba`, top row first.
    static std::vector<Span> findRowSpans(const unsigned char* rgba, int width, int height);
    // True when every alpha of `rgba` is 255.
    static bool allOpaque(const unsigned char* rgba, int width, int height);

    int width = 0;
    int height = 0;
    std::unique_ptr<unsigned char, void (*)(void*)> pixels{nullptr, nullptr};
    std::string error; // why there are no pixels; empty when ok()
    Bounds bounds;      // findBounds of the pixels; empty when not ok()
    bool opaque = false; // allOpaque of the pixels; false when not ok()
    std::vector<Span> rows; // findRowSpans of the pixels; none when not ok()
};
