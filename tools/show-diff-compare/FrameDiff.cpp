#include "FrameDiff.h"

FrameDiff::Result FrameDiff::compare(const uint8_t* before, const uint8_t* after, int width, int height)
{
    Result result;
    const long long count = static_cast<long long>(width) * height;
    for (long long i = 0; i < count; ++i) {
        const int d = pixelDifference(before + i * 3, after + i * 3);
        if (d == 0)
            continue;
        ++result.differing;
        if (d == 1)
            ++result.byOne;
        if (d > result.largest)
            result.largest = d;
    }
    return result;
}

std::vector<uint8_t> FrameDiff::picture(const uint8_t* before, const uint8_t* after, int width, int height)
{
    const long long count = static_cast<long long>(width) * height;
    std::vector<uint8_t> out(static_cast<std::size_t>(count) * 3);
    for (long long i = 0; i < count; ++i) {
        const uint8_t* a = after + i * 3;
        uint8_t* o = &out[static_cast<std::size_t>(i) * 3];
        const int d = pixelDifference(before + i * 3, a);
        if (d == 0) {
            const uint8_t grey = static_cast<uint8_t>((a[0] * 77 + a[1] * 150 + a[2] * 29) >> 10);
            o[0] = o[1] = o[2] = grey;
        } else {
            o[0] = 255;
            o[1] = d == 1 ? 255 : 0;
            o[2] = 0;
        }
    }
    return out;
}
