#include "PartScissor.h"

#include <algorithm>
#include <cmath>

#include "engine/Mat4.h"

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
