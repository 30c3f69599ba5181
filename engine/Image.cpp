#include "Image.h"

#include <stb_image.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
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
    const bool readError = std::ferror(file) != 0;
    const int readErrno = errno;
    std::fclose(file);
    // A read that failed (a folder, a disk error) is not a short image.
    if (readError)
        return failure(std::string("cannot read: ") + std::strerror(readErrno));
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
    image.rows = findRowSpans(decoded, width, height);
    image.bounds = boundsOf(image.rows, width);
    image.opaque = allOpaque(decoded, width, height);
    return image;
}

std::vector<Image::Span> Image::findRowSpans(const unsigned char* rgba, int width, int height)
{
    std::vector<Span> rows(static_cast<size_t>(height));
    for (int y = 0; y < height; ++y) {
        const unsigned char* row = rgba + static_cast<size_t>(y) * width * 4;
        int first = 0;
        while (first < width && row[first * 4 + 3] == 0)
            ++first;
        if (first == width)
            continue;
        int last = width - 1;
        while (row[last * 4 + 3] == 0)
            --last;
        rows[static_cast<size_t>(y)] = Span{first, last + 1};
    }
    return rows;
}

Image::Bounds Image::findBounds(const unsigned char* rgba, int width, int height)
{
    return boundsOf(findRowSpans(rgba, width, height), width);
}

Image::Bounds Image::boundsOf(const std::vector<Span>& rows, int width)
{
    const int height = static_cast<int>(rows.size());
    Bounds found{width, height, 0, 0};
    for (int y = 0; y < height; ++y) {
        const Span& row = rows[static_cast<size_t>(y)];
        if (row.from == row.to)
            continue;
        found.x0 = std::min(found.x0, row.from);
        found.x1 = std::max(found.x1, row.to);
        found.y0 = std::min(found.y0, y);
        found.y1 = y + 1;
    }
    if (found.empty())
        return Bounds{};
    // Linear filtering at a texture coordinate reads the two texels whose
    // centres lie nearest it on each axis, so a sample point half a texel or
    // more outside the texels with alpha reads only transparent ones and
    // gives transparent black. The margin is a whole texel, so that a sample
    // point rounded by the rasterizer's and the filter's fixed-point
    // precision (far below a texel) still reads nothing. Repeating wraps a
    // sample point within half a texel of one edge round to the texels of
    // the opposite edge: when the texels with alpha reach within the margin
    // of an edge, the bounds take that whole axis.
    const auto grow = [](int& from, int& to, int size) {
        from -= 1;
        to += 1;
        if (from < 0 || to > size) {
            from = 0;
            to = size;
        }
    };
    grow(found.x0, found.x1, width);
    grow(found.y0, found.y1, height);
    return found;
}

bool Image::allOpaque(const unsigned char* rgba, int width, int height)
{
    const size_t count = static_cast<size_t>(width) * height;
    for (size_t i = 0; i < count; ++i)
        if (rgba[i * 4 + 3] != 255)
            return false;
    return true;
}
