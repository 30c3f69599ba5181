#include "Image.h"

#include <stb_image.h>

#include <cstdio>
#include <limits>
#include <vector>

namespace {

Image failure(const std::string& reason)
{
    Image image;
    image.error = reason;
    return image;
}

} // namespace

Image Image::load(const std::string& path)
{
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return failure("can't fopen");
    std::vector<unsigned char> bytes;
    unsigned char chunk[1 << 16];
    size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
        if (static_cast<long long>(bytes.size() + got) > kMaxFileBytes) {
            std::fclose(file);
            return failure("file is larger than " + std::to_string(kMaxFileBytes >> 20) + " MB");
        }
        bytes.insert(bytes.end(), chunk, chunk + got);
    }
    std::fclose(file);
    return decode(bytes.data(), bytes.size());
}

Image Image::decode(const unsigned char* bytes, size_t size)
{
    if (size > static_cast<size_t>(std::numeric_limits<int>::max()))
        return failure("file too large");
    const int length = static_cast<int>(size);
    int width = 0;
    int height = 0;
    int channels = 0;
    if (stbi_info_from_memory(bytes, length, &width, &height, &channels)) {
        const long long pixelCount = static_cast<long long>(width) * height;
        if (width > kMaxSide || height > kMaxSide || pixelCount > kMaxPixels)
            return failure(std::to_string(width) + "x" + std::to_string(height) + " is larger than the limit of "
                + std::to_string(kMaxSide) + " pixels a side or " + std::to_string(kMaxPixels) + " pixels");
    }
    unsigned char* decoded = stbi_load_from_memory(bytes, length, &width, &height, &channels, 4);
    if (!decoded) {
        // Some malformed files (a GIF without a frame) fail without a reason.
        const char* reason = stbi_failure_reason();
        return failure(reason && *reason ? reason : "cannot decode");
    }
    if (width <= 0 || height <= 0) {
        // A GIF may claim a width or height of 0 and still "decode".
        stbi_image_free(decoded);
        return failure(std::to_string(width) + "x" + std::to_string(height) + " image has no pixels");
    }
    Image image;
    image.width = width;
    image.height = height;
    image.pixels = {decoded, stbi_image_free};
    return image;
}
