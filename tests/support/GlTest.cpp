#include "GlTest.h"

#include <cmath>
#include <memory>
#include <ostream>
#include <string>

#include "engine/OffscreenContext.h"

namespace {

OffscreenContext& context()
{
    // Lives to the end of the process; GL objects of tests stay valid.
    static OffscreenContext* shared = new OffscreenContext();
    return *shared;
}

} // namespace

bool glAvailable()
{
    return context().ok();
}

const char* glUnavailableReason()
{
    static std::string reason;
    reason = "no GL 4.1 core context: " + context().error();
    return reason.c_str();
}

void setShowGlState()
{
    glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_PROGRAM_POINT_SIZE);
}

Rgba pixelAt(const std::vector<uint8_t>& pixels, int width, int x, int y)
{
    const size_t at = (static_cast<size_t>(y) * width + x) * 4;
    return {pixels[at], pixels[at + 1], pixels[at + 2], pixels[at + 3]};
}

Rgba pixelAtNdc(const std::vector<uint8_t>& pixels, int width, int height, double x, double y)
{
    const int px = static_cast<int>(std::floor((x + 1.0) * 0.5 * width));
    const int py = static_cast<int>(std::floor((1.0 - y) * 0.5 * height));
    return pixelAt(pixels, width, px < width ? px : width - 1, py < height ? py : height - 1);
}

bool near(Rgba a, Rgba b, int tolerance)
{
    return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance && std::abs(a.b - b.b) <= tolerance
        && std::abs(a.a - b.a) <= tolerance;
}

std::ostream& operator<<(std::ostream& out, const Rgba& c)
{
    return out << "rgba(" << c.r << ", " << c.g << ", " << c.b << ", " << c.a << ")";
}
