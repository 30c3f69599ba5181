// The difference between two pictures of the same size, 8-bit RGB rows top
// first: how many pixels differ, by how much at most in any channel, and a
// picture that shows where. Pure arithmetic on pixels; reading and writing
// files is the caller's.
#pragma once

#include <cstdint>
#include <vector>

class FrameDiff {
public:
    // What comparing two pictures found.
    struct Result {
        long long differing = 0; // pixels with any channel different
        long long byOne = 0;     // of those, pixels whose largest channel difference is 1
        int largest = 0;         // largest difference in any channel, 0 to 255
    };

    // Compares `before` and `after`, each `width` x `height` RGB pixels.
    static Result compare(const uint8_t* before, const uint8_t* after, int width, int height);

    // A picture of where `after` differs from `before`: `after` darkened to a
    // quarter in grey, pixels that differ by 1 in yellow, by more in red.
    static std::vector<uint8_t> picture(const uint8_t* before, const uint8_t* after, int width, int height);

    // The largest channel difference of one pixel.
    static int pixelDifference(const uint8_t* before, const uint8_t* after)
    {
        int largest = 0;
        for (int c = 0; c < 3; ++c) {
            const int d = before[c] > after[c] ? before[c] - after[c] : after[c] - before[c];
            largest = d > largest ? d : largest;
        }
        return largest;
    }
};
