// Fuzz target: any bytes as an image file, decoded as the engine decodes
// textures.
#include <cstddef>
#include <cstdint>

#include "engine/Image.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const Image image = Image::decode(data, size);
    if (image.ok()) {
        if (image.width <= 0 || image.height <= 0 || image.width > Image::kMaxSide || image.height > Image::kMaxSide)
            __builtin_trap();
        // Touch the last byte: the rows must all be there.
        volatile unsigned char last = image.pixels.get()[static_cast<size_t>(image.width) * image.height * 4 - 1];
        (void)last;
    } else if (image.error.empty()) {
        __builtin_trap();
    }
    return 0;
}
