#include "Letterbox.h"

#include <GL/glew.h>

#include "engine/SavedGlState.h"

Letterbox::Rect Letterbox::fit(int width, int height)
{
    const long long wide = static_cast<long long>(width) * kAspectHeight;
    const long long tall = static_cast<long long>(height) * kAspectWidth;
    if (wide > tall) {
        const int pictureWidth = static_cast<int>((tall + kAspectHeight / 2) / kAspectHeight);
        return {(width - pictureWidth) / 2, 0, pictureWidth, height};
    }
    const int pictureHeight = static_cast<int>((wide + kAspectWidth / 2) / kAspectWidth);
    return {0, (height - pictureHeight) / 2, width, pictureHeight};
}

void Letterbox::clearBars(const Rect& picture, int width, int height)
{
    const Rect bars[4] = {
        {0, 0, picture.x, height},                                                     // left
        {picture.x + picture.width, 0, width - picture.x - picture.width, height},     // right
        {0, 0, width, picture.y},                                                      // bottom
        {0, picture.y + picture.height, width, height - picture.y - picture.height},   // top
    };
    const quorvane_engine::SavedGlState saved;
    glEnable(GL_SCISSOR_TEST);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    for (const Rect& bar : bars) {
        if (bar.width <= 0 || bar.height <= 0)
            continue;
        glScissor(bar.x, bar.y, bar.width, bar.height);
        glClear(GL_COLOR_BUFFER_BIT);
    }
}
