// Draws a caption over the picture: its lines set in an anti-aliased
// proportional font (DejaVu Sans, through stb_truetype), white on a
// translucent dark band behind each line, centred in the lower fifth of the
// viewport, the text 1/18 of the picture's height so that it reads from
// 640x360 to 1080p and beyond. A caption is set into a texture once, when
// it first shows at a size; each frame then draws one quad a line. Brings
// its own GL program (sources in the code) and leaves the GL state as it
// found it. Which caption shows when is the cue list's business.
#pragma once

#include "engine/Gl.h"

#include <memory>
#include <string>
#include <vector>

namespace quorvane_engine {

struct Cue;

class CaptionPainter {
public:
    // Font files tried in order when none is named: DejaVu Sans (Debian's
    // fonts-dejavu-core), then Noto Sans (fonts-noto-core).
    static const char* const kFontPaths[2];

    // Reads `fontPath`, or the first of kFontPaths that reads, and builds the
    // GL program; needs the GL context. Never throws: without a font ok() is
    // false, error() says which files were tried, and draw() draws nothing.
    explicit CaptionPainter(const std::string& fontPath = "");
    ~CaptionPainter();
    CaptionPainter(const CaptionPainter&) = delete;
    CaptionPainter& operator=(const CaptionPainter&) = delete;

    bool ok() const { return error_.empty(); }
    // Why there is nothing to draw with; empty when ok().
    const std::string& error() const { return error_; }

    // Height in pixels of a line of text (ascender to descender) in a
    // picture `height` pixels high.
    static int textHeightFor(int height);

    // Draws `cue` (nothing for nullptr) over the current viewport, `width` x
    // `height` pixels. Allocates nothing while the cue and size stay the same.
    void draw(const Cue* cue, int width, int height);

private:
    struct Font;
    // Sets `lines` into the texture for a `width` x `height` picture and
    // places its quad.
    void set(const std::vector<std::string>& lines, int width, int height);

    std::unique_ptr<Font> font;
    std::string error_;
    GLuint program = 0;
    GLuint vao = 0;
    GLuint vbo = 0;
    GLuint texture = 0;
    GLsizei vertexCount = 0;           // six a line: its band's two triangles
    GLint viewportUniform = -1;
    GLint samplerUniform = -1;
    std::vector<std::string> setLines; // what the texture holds, for a picture of...
    int setWidth = 0;                  // ...this size
    int setHeight = 0;
};

} // namespace quorvane_engine
