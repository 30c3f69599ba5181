#include "CaptionPainter.h"

#include <stb_truetype.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <iterator>

#include "CueList.h"
#include "InlineProgram.h"

namespace quorvane_engine {

namespace {

// The band behind each line: black at this opacity, this much wider than
// the text on each side and taller above and below, in text heights.
constexpr float kBandOpacity = 0.62f;
constexpr float kBandSide = 0.42f;
constexpr float kBandAbove = 0.12f;
constexpr float kBandBelow = 0.14f;
// The caption's lowest pixel this far above the bottom, in picture heights:
// two lines still end inside the lower fifth.
constexpr float kBottomMargin = 0.05f;

const char* const kVertexSource = R"(#version 410 core
layout(location = 0) in vec2 position; // pixels, y down
layout(location = 1) in vec2 texel;
uniform vec2 viewport;
out vec2 coordinate;
void main()
{
    coordinate = texel;
    gl_Position = vec4(position.x / viewport.x * 2.0 - 1.0, 1.0 - position.y / viewport.y * 2.0, 0.0, 1.0);
}
)";

const char* const kFragmentSource = R"(#version 410 core
uniform sampler2D caption;
in vec2 coordinate;
out vec4 fragColour;
void main()
{
    fragColour = texture(caption, coordinate);
}
)";

// The code points of UTF-8 `text`; a byte that does not decode stands for
// itself.
std::vector<int> codePoints(const std::string& text)
{
    std::vector<int> points;
    for (size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        const int length = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        int point = length == 1 ? c : length == 2 ? c & 0x1F : length == 3 ? c & 0x0F : c & 0x07;
        bool valid = length > 0 && i + static_cast<size_t>(length) <= text.size();
        for (int k = 1; valid && k < length; ++k) {
            const unsigned char next = static_cast<unsigned char>(text[i + static_cast<size_t>(k)]);
            valid = (next & 0xC0) == 0x80;
            point = (point << 6) | (next & 0x3F);
        }
        points.push_back(valid ? point : c);
        i += valid ? static_cast<size_t>(length) : 1;
    }
    return points;
}

} // namespace

struct CaptionPainter::Font {
    std::vector<unsigned char> data;
    stbtt_fontinfo info{};
};

const char* const CaptionPainter::kFontPaths[2] = {
    "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
    "/usr/share/fonts/truetype/noto/NotoSans-Regular.ttf",
};

CaptionPainter::CaptionPainter(const std::string& fontPath)
{
    std::vector<std::string> paths;
    if (fontPath.empty())
        paths.assign(std::begin(kFontPaths), std::end(kFontPaths));
    else
        paths.push_back(fontPath);
    for (const std::string& path : paths) {
        std::ifstream file(path, std::ios::binary);
        auto candidate = std::make_unique<Font>();
        candidate->data.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
        const int offset = candidate->data.empty() ? -1 : stbtt_GetFontOffsetForIndex(candidate->data.data(), 0);
        if (offset >= 0 && stbtt_InitFont(&candidate->info, candidate->data.data(), offset)) {
            font = std::move(candidate);
            break;
        }
    }
    if (!font) {
        error_ = "no font for the captions: cannot read";
        for (size_t i = 0; i < paths.size(); ++i)
            error_ += (i ? " or " : " ") + paths[i];
        if (fontPath.empty())
            error_ += " (Debian's fonts-dejavu-core has the first)";
        return;
    }

    std::string error;
    program = InlineProgram::build(kVertexSource, kFragmentSource, error);
    if (!program) {
        error_ = "the captions' program: " + error;
        font.reset();
        return;
    }
    viewportUniform = glGetUniformLocation(program, "viewport");
    samplerUniform = glGetUniformLocation(program, "caption");

    GLint previousArray = 0;
    glGetIntegerv(GL_VERTEX_ARRAY_BINDING, &previousArray);
    glGenVertexArrays(1, &vao);
    glBindVertexArray(vao);
    glGenBuffers(1, &vbo);
    glBindBuffer(GL_ARRAY_BUFFER, vbo);
    glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, 4 * sizeof(float), nullptr);
    glVertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, 4 * sizeof(float), reinterpret_cast<void*>(2 * sizeof(float)));
    glEnableVertexAttribArray(0);
    glEnableVertexAttribArray(1);
    glBindVertexArray(static_cast<GLuint>(previousArray));

    GLint previousTexture = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &previousTexture);
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(previousTexture));
}

CaptionPainter::~CaptionPainter()
{
    if (!font)
        return;
    glDeleteTextures(1, &texture);
    glDeleteBuffers(1, &vbo);
    glDeleteVertexArrays(1, &vao);
    glDeleteProgram(program);
}

int CaptionPainter::textHeightFor(int height)
{
    return std::max(8, static_cast<int>(std::lround(height / 18.0)));
}

void CaptionPainter::set(const std::vector<std::string>& lines, int width, int height)
{
    const stbtt_fontinfo& info = font->info;
    const int size = textHeightFor(height);
    const float scale = stbtt_ScaleForPixelHeight(&info, static_cast<float>(size));
    int ascent = 0, descent = 0, gap = 0;
    stbtt_GetFontVMetrics(&info, &ascent, &descent, &gap);
    const int side = static_cast<int>(std::lround(size * kBandSide));
    const int above = static_cast<int>(std::lround(size * kBandAbove));
    const int bandHeight = above + size + static_cast<int>(std::lround(size * kBandBelow));
    const int baseline = above + static_cast<int>(std::lround(ascent * scale));

    // Each line's glyphs and pen positions (x in pixels from the line's start).
    struct Glyph {
        int index;
        float x;
    };
    std::vector<std::vector<Glyph>> glyphs(lines.size());
    std::vector<int> lineWidths(lines.size());
    int widest = 0;
    for (size_t l = 0; l < lines.size(); ++l) {
        float pen = 0.0f;
        int previous = 0;
        for (int point : codePoints(lines[l])) {
            const int index = stbtt_FindGlyphIndex(&info, point);
            if (previous)
                pen += scale * static_cast<float>(stbtt_GetGlyphKernAdvance(&info, previous, index));
            glyphs[l].push_back({index, pen});
            int advance = 0, bearing = 0;
            stbtt_GetGlyphHMetrics(&info, index, &advance, &bearing);
            pen += scale * static_cast<float>(advance);
            previous = index;
        }
        lineWidths[l] = static_cast<int>(std::ceil(pen));
        widest = std::max(widest, lineWidths[l]);
    }

    const int boxWidth = std::min(width, widest + 2 * side);
    const int boxHeight = bandHeight * static_cast<int>(lines.size());
    // Coverage of the glyphs and of the bands, then composed: white text
    // over the band, straight alpha for the show's blending.
    std::vector<uint8_t> text(static_cast<size_t>(boxWidth) * static_cast<size_t>(boxHeight), 0);
    std::vector<uint8_t> band(text.size(), 0);
    std::vector<unsigned char> bitmap;
    // Whole pixels, so that each texel lands on one pixel; one quad per line,
    // as wide as its band.
    const int boxLeft = (width - boxWidth) / 2;
    const int boxTop = height - static_cast<int>(std::lround(height * kBottomMargin)) - boxHeight;
    std::vector<float> quads;
    for (size_t l = 0; l < lines.size(); ++l) {
        const int top = bandHeight * static_cast<int>(l);
        const int left = (boxWidth - lineWidths[l]) / 2 - side;
        const int bandLeft = std::max(0, left);
        const int bandRight = std::min(boxWidth, left + lineWidths[l] + 2 * side);
        for (int y = top; y < top + bandHeight; ++y)
            for (int x = bandLeft; x < bandRight; ++x)
                band[static_cast<size_t>(y) * static_cast<size_t>(boxWidth) + static_cast<size_t>(x)] = 255;
        const float s0 = static_cast<float>(bandLeft) / static_cast<float>(boxWidth);
        const float s1 = static_cast<float>(bandRight) / static_cast<float>(boxWidth);
        const float t0 = static_cast<float>(top) / static_cast<float>(boxHeight);
        const float t1 = static_cast<float>(top + bandHeight) / static_cast<float>(boxHeight);
        const float x0 = static_cast<float>(boxLeft + bandLeft), x1 = static_cast<float>(boxLeft + bandRight);
        const float y0 = static_cast<float>(boxTop + top), y1 = y0 + static_cast<float>(bandHeight);
        const float corners[24] = {x0, y0, s0, t0, x1, y0, s1, t0, x0, y1, s0, t1,
                                   x1, y0, s1, t0, x1, y1, s1, t1, x0, y1, s0, t1};
        quads.insert(quads.end(), corners, corners + 24);
    }
    for (size_t l = 0; l < lines.size(); ++l) {
        const int top = bandHeight * static_cast<int>(l);
        const int left = (boxWidth - lineWidths[l]) / 2 - side;
        for (const Glyph& glyph : glyphs[l]) {
            const float x = static_cast<float>(left + side) + glyph.x;
            const float shift = x - std::floor(x);
            int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
            stbtt_GetGlyphBitmapBoxSubpixel(&info, glyph.index, scale, scale, shift, 0.0f, &x0, &y0, &x1, &y1);
            const int w = x1 - x0, h = y1 - y0;
            if (w <= 0 || h <= 0)
                continue;
            bitmap.assign(static_cast<size_t>(w) * static_cast<size_t>(h), 0);
            stbtt_MakeGlyphBitmapSubpixel(&info, bitmap.data(), w, h, w, scale, scale, shift, 0.0f, glyph.index);
            const int originX = static_cast<int>(std::floor(x)) + x0;
            const int originY = top + baseline + y0;
            for (int gy = 0; gy < h; ++gy) {
                const int y = originY + gy;
                if (y < 0 || y >= boxHeight)
                    continue;
                for (int gx = 0; gx < w; ++gx) {
                    const int px = originX + gx;
                    if (px < 0 || px >= boxWidth)
                        continue;
                    const size_t at = static_cast<size_t>(y) * static_cast<size_t>(boxWidth) + static_cast<size_t>(px);
                    uint8_t& cover = text[at];
                    cover = static_cast<uint8_t>(std::min(255, cover + bitmap[static_cast<size_t>(gy * w + gx)]));
                }
            }
        }
    }
    std::vector<uint8_t> rgba(text.size() * 4);
    for (size_t i = 0; i < text.size(); ++i) {
        const float cover = text[i] / 255.0f;
        const float alpha = cover + (1.0f - cover) * kBandOpacity * (band[i] / 255.0f);
        const uint8_t white = alpha > 0.0f ? static_cast<uint8_t>(std::lround(255.0f * cover / alpha)) : 0;
        rgba[4 * i + 0] = rgba[4 * i + 1] = rgba[4 * i + 2] = white;
        rgba[4 * i + 3] = static_cast<uint8_t>(std::lround(255.0f * alpha));
    }

    GLint previousTexture = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &previousTexture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, boxWidth, boxHeight, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(previousTexture));

    glBindBuffer(GL_ARRAY_BUFFER, vbo);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(quads.size() * sizeof(float)), quads.data(), GL_DYNAMIC_DRAW);
    vertexCount = static_cast<GLsizei>(quads.size() / 4);

    setLines = lines;
    setWidth = width;
    setHeight = height;
}

void CaptionPainter::draw(const Cue* cue, int width, int height)
{
    if (!cue || !font || !error_.empty() || cue->lines.empty() || width <= 0 || height <= 0)
        return;
    GLint previousProgram = 0, previousArray = 0, previousTexture = 0, previousUnit = 0, previousBuffer = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &previousProgram);
    glGetIntegerv(GL_VERTEX_ARRAY_BINDING, &previousArray);
    glGetIntegerv(GL_ARRAY_BUFFER_BINDING, &previousBuffer);
    glGetIntegerv(GL_ACTIVE_TEXTURE, &previousUnit);
    glActiveTexture(GL_TEXTURE0);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &previousTexture);
    if (cue->lines != setLines || width != setWidth || height != setHeight)
        set(cue->lines, width, height);

    const GLboolean depthTest = glIsEnabled(GL_DEPTH_TEST);
    const GLboolean blend = glIsEnabled(GL_BLEND);
    GLint blendSource = 0, blendDestination = 0;
    glGetIntegerv(GL_BLEND_SRC_RGB, &blendSource);
    glGetIntegerv(GL_BLEND_DST_RGB, &blendDestination);
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);

    glUseProgram(program);
    glUniform2f(viewportUniform, static_cast<float>(width), static_cast<float>(height));
    glUniform1i(samplerUniform, 0);
    glBindTexture(GL_TEXTURE_2D, texture);
    glBindVertexArray(vao);
    glDrawArrays(GL_TRIANGLES, 0, vertexCount);

    glBindVertexArray(static_cast<GLuint>(previousArray));
    glBindBuffer(GL_ARRAY_BUFFER, static_cast<GLuint>(previousBuffer));
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(previousTexture));
    glActiveTexture(static_cast<GLenum>(previousUnit));
    glUseProgram(static_cast<GLuint>(previousProgram));
    glBlendFunc(static_cast<GLenum>(blendSource), static_cast<GLenum>(blendDestination));
    if (!blend)
        glDisable(GL_BLEND);
    if (depthTest)
        glEnable(GL_DEPTH_TEST);
}

} // namespace quorvane_engine
