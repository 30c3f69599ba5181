#include "PartScissor.h"

#include <algorithm>
#include <cmath>

#include "engine/Mat4.h"
#include "engine/Texture.h"

bool PartScissor::find(const Image::Bounds& bounds, int width, int height, const Mat4& matrix,
                       const Sampling& sampling, const int viewport[4], int box[4])
{
    if (bounds.empty() || width <= 0 || height <= 0)
        return false;
    // The bounds in the quad's own texture coordinates (s to the right, t
    // down from the top edge), before the program mirrors or raises.
    double s0 = static_cast<double>(bounds.x0) / width;
    double s1 = static_cast<double>(bounds.x1) / width;
    double t0 = static_cast<double>(bounds.y0) / height;
    double t1 = static_cast<double>(bounds.y1) / height;
    if (sampling.mirrored) {
        const double from = 1.0 - s1;
        s1 = 1.0 - s0;
        s0 = from;
    }
    if (sampling.raised) {
        if (sampling.shoulderLine < 0.0) {
            t0 = 0.0;
            t1 = 1.0;
        } else {
            const double from = 2.0 * sampling.shoulderLine - t1;
            t1 = 2.0 * sampling.shoulderLine - t0;
            t0 = from;
        }
    }
    s0 = std::max(s0, 0.0);
    t0 = std::max(t0, 0.0);
    s1 = std::min(s1, 1.0);
    t1 = std::min(t1, 1.0);
    if (s1 <= s0 || t1 <= t0)
        return false;

    // The corners through the matrix and the viewport transform.
    double left = HUGE_VAL, right = -HUGE_VAL, bottom = HUGE_VAL, top = -HUGE_VAL;
    const double corners[4][2] = {{s0, t0}, {s1, t0}, {s1, t1}, {s0, t1}};
    for (const auto& corner : corners) {
        const double x = 2.0 * corner[0] - 1.0;
        const double y = 1.0 - 2.0 * corner[1];
        const float* m = matrix.m;
        const double w = m[3] * x + m[7] * y + m[15];
        if (!(w > 0.0)) {
            // Behind the eye: no rectangle to tell; the whole viewport.
            for (int i = 0; i < 4; ++i)
                box[i] = viewport[i];
            return true;
        }
        const double ndcX = (m[0] * x + m[4] * y + m[12]) / w;
        const double ndcY = (m[1] * x + m[5] * y + m[13]) / w;
        const double windowX = viewport[0] + (ndcX + 1.0) * 0.5 * viewport[2];
        const double windowY = viewport[1] + (ndcY + 1.0) * 0.5 * viewport[3];
        left = std::min(left, windowX);
        right = std::max(right, windowX);
        bottom = std::min(bottom, windowY);
        top = std::max(top, windowY);
    }
    // A pixel of slack on every side covers the rounding of the corners by
    // the GL's single-precision vertex stage and fixed-point rasterizer.
    const double x0 = std::max(std::floor(left) - 1.0, static_cast<double>(viewport[0]));
    const double y0 = std::max(std::floor(bottom) - 1.0, static_cast<double>(viewport[1]));
    const double x1 = std::min(std::ceil(right) + 1.0, static_cast<double>(viewport[0] + viewport[2]));
    const double y1 = std::min(std::ceil(top) + 1.0, static_cast<double>(viewport[1] + viewport[3]));
    if (!(x1 > x0 && y1 > y0))
        return false;
    box[0] = static_cast<int>(x0);
    box[1] = static_cast<int>(y0);
    box[2] = static_cast<int>(x1 - x0);
    box[3] = static_cast<int>(y1 - y0);
    return true;
}

int PartScissor::findBands(const Texture& texture, const Mat4& matrix, const Sampling& sampling,
                           const int viewport[4], int boxes[kMaxBands][4])
{
    int box[4];
    if (!find(texture.bounds, texture.width, texture.height, matrix, sampling, viewport, box))
        return 0;
    for (int i = 0; i < 4; ++i)
        boxes[0][i] = box[i];
    const float* m = matrix.m;
    const bool upright = m[1] == 0.0f && m[4] == 0.0f && m[3] == 0.0f && m[7] == 0.0f && m[15] == 1.0f &&
                         m[0] != 0.0f && m[5] != 0.0f;
    const int width = texture.width;
    const int height = texture.height;
    const int bandCount = std::min(kMaxBands, box[3] / kMinBandRows);
    if (!upright || bandCount < 2 || texture.rows.size() != static_cast<size_t>(height) ||
        (sampling.raised && sampling.shoulderLine < 0.0))
        return 1;

    // The texture coordinate t that the program samples at window row y.
    const auto sampledT = [&](double y) {
        const double ndcY = (y - viewport[1]) / viewport[3] * 2.0 - 1.0;
        const double quadY = (ndcY - m[13]) / m[5];
        const double t = (1.0 - quadY) / 2.0;
        return sampling.raised ? 2.0 * sampling.shoulderLine - t : t;
    };
    const auto windowX = [&](double s) {
        const double quadX = 2.0 * (sampling.mirrored ? 1.0 - s : s) - 1.0;
        return viewport[0] + (m[0] * quadX + m[12] + 1.0) * 0.5 * viewport[2];
    };

    int count = 0;
    long long area = 0;
    for (int band = 0; band < bandCount; ++band) {
        const int rowFrom = box[1] + box[3] * band / bandCount;
        const int rowTo = box[1] + box[3] * (band + 1) / bandCount;
        // The texel rows that sample points in these pixel rows can read,
        // with a pixel of slack above and below and a texel more for
        // rounding; repeating wraps rows past an edge to the other edge.
        const double tA = sampledT(rowFrom - 1.0);
        const double tB = sampledT(rowTo + 1.0);
        const long long first = static_cast<long long>(std::floor(std::min(tA, tB) * height)) - 2;
        const long long last = std::min(static_cast<long long>(std::ceil(std::max(tA, tB) * height)) + 1,
                                        first + height - 1);
        int from = width;
        int to = 0;
        for (long long row = first; row <= last; ++row) {
            const Image::Span& span = texture.rows[static_cast<size_t>(((row % height) + height) % height)];
            if (span.from == span.to)
                continue;
            from = std::min(from, span.from);
            to = std::max(to, span.to);
        }
        if (to <= from)
            continue; // nothing in these rows can show
        // A texel of margin, as Image::findBounds grows its bounds.
        from -= 1;
        to += 1;
        if (from < 0 || to > width) {
            from = 0;
            to = width;
        }
        const double xA = windowX(static_cast<double>(from) / width);
        const double xB = windowX(static_cast<double>(to) / width);
        const int left = static_cast<int>(std::max(std::floor(std::min(xA, xB)) - 1.0, static_cast<double>(box[0])));
        const int right =
            static_cast<int>(std::min(std::ceil(std::max(xA, xB)) + 1.0, static_cast<double>(box[0] + box[2])));
        if (right <= left)
            continue;
        boxes[count][0] = left;
        boxes[count][1] = rowFrom;
        boxes[count][2] = right - left;
        boxes[count][3] = rowTo - rowFrom;
        area += static_cast<long long>(right - left) * (rowTo - rowFrom);
        ++count;
    }
    // Bands cost a draw each: worth it only when they save a quarter.
    if (count > 0 && area * 4 > 3LL * box[2] * box[3]) {
        for (int i = 0; i < 4; ++i)
            boxes[0][i] = box[i];
        return 1;
    }
    return count;
}
