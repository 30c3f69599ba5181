// Draws a caption over the picture: its lines set in an anti-aliased
// proportional font (DejaVu Sans, found where the system keeps it, drawn through
// stb_truetype), white on a translucent dark band behind each line, placed
// by CaptionLayout where the cue's settings say. A caption is set into a texture once, when it first
// shows at a size; each frame then draws one quad a line. Brings its own GL
// program (sources in the code) and leaves the GL state as it found it:
// bindings, program, blending (each of its four functions), depth test and
// the unpack alignment. Which caption shows when is the cue list's business.
#pragma once

#include "engine/CueSettings.h"
#include "engine/Gl.h"

#include <memory>
#include <string>
#include <vector>

namespace quorvane_engine {

struct Cue;

class CaptionPainter {
public:
    // Font families looked for in order (FontFiles) when no file is named:
    // DejaVu Sans (Debian's fonts-dejavu-core), then Noto Sans
    // (fonts-noto-core).
    static const char* const kFontFamilies[2];

    // Reads `fontPath`, or the file of the first of kFontFamilies that
    // FontFiles finds and that reads, and builds the GL program; needs the
    // GL context. Never throws: without a font ok() is false, error() says
    // which files or families were looked for, and draw() draws nothing.
    explicit CaptionPainter(const std::string& fontPath = "");
    ~CaptionPainter();
    CaptionPainter(const CaptionPainter&) = delete;
    CaptionPainter& operator=(const CaptionPainter&) = delete;

    // True when it has a font and a program to draw with.
    bool ok() const { return error_.empty(); }
    // Why there is nothing to draw with; empty when ok().
    const std::string& error() const { return error_; }

    // Draws `cue` (nothing for nullptr) over the current viewport, `width` x
    // `height` pixels. Allocates nothing while the cue and size stay the same.
    void draw(const Cue* cue, int width, int height);

private:
    struct Font;
    // A glyph of a line and its pen position, in pixels from the line's start.
    struct Glyph {
        int index;
        float x;
    };
    // The widths in pixels of `lines` at `scale`, and their glyphs.
    std::vector<int> measure(const std::vector<std::string>& lines, float scale,
        std::vector<std::vector<Glyph>>& glyphs) const;
    // Sets the lines of `cue` into the texture for a `width` x `height`
    // picture and places its quads where its settings say; changes the
    // texture and buffer bindings and the unpack alignment.
    void set(const Cue& cue, int width, int height);

    std::unique_ptr<Font> font;
    std::string error_;
    GLuint program = 0;
    GLuint vao = 0;
    GLuint vbo = 0;
    GLuint texture = 0;
    GLsizei vertexCount = 0;           // six a line: its band's two triangles
    GLint viewportUniform = -1;
    GLint samplerUniform = -1;
    std::vector<std::string> setLines; // what the texture holds, placed...
    CueSettings setSettings;           // ...so, for a picture of...
    int setWidth = 0;                  // ...this size
    int setHeight = 0;
};

} // namespace quorvane_engine
