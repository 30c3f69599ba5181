#include "CaptionPainter.h"

#include <stb_truetype.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <iterator>

#include "CaptionLayout.h"
#include "CueList.h"
#include "InlineProgram.h"
#include "SavedGlState.h"
#include "platform/FontFiles.h"

namespace quorvane_engine {

namespace {

// The band behind each line: black at this opacity.
constexpr float kBandOpacity = 0.62f;
// Marks that steer the direction of text and show nothing.
constexpr int kLeftToRightMark = 0x200E;
constexpr int kRightToLeftMark = 0x200F;

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

const char* const CaptionPainter::kFontFamilies[2] = {"DejaVu Sans", "Noto Sans"};

CaptionPainter::CaptionPainter(const std::string& fontPath)
{
    std::vector<std::string> paths;
    if (fontPath.empty()) {
        for (const char* family : kFontFamilies) {
            for (const std::string& path : FontFiles::of(family))
                paths.push_back(path);
        }
    } else {
        paths.push_back(fontPath);
    }
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
        error_ = "no font for the captions: ";
        if (paths.empty()) {
            error_ += FontFiles::lookedFor({std::begin(kFontFamilies), std::end(kFontFamilies)});
        } else {
            error_ += "cannot read";
            for (size_t i = 0; i < paths.size(); ++i)
                error_ += (i ? " or " : " ") + paths[i];
        }
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

    const SavedGlState saved;
    glGenVertexArrays(1, &vao);
    glBindVertexArray(vao);
    glGenBuffers(1, &vbo);
    glBindBuffer(GL_ARRAY_BUFFER, vbo);
    glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, 4 * sizeof(float), nullptr);
    glVertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, 4 * sizeof(float), reinterpret_cast<void*>(2 * sizeof(float)));
    glEnableVertexAttribArray(0);
    glEnableVertexAttribArray(1);

    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
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

std::vector<int> CaptionPainter::measure(const std::vector<std::string>& lines, float scale,
    std::vector<std::vector<Glyph>>& glyphs) const
{
    const stbtt_fontinfo& info = font->info;
    glyphs.assign(lines.size(), {});
    std::vector<int> widths(lines.size());
    for (size_t l = 0; l < lines.size(); ++l) {
        float pen = 0.0f;
        int previous = 0;
        for (int point : codePoints(lines[l])) {
            if (point == kLeftToRightMark || point == kRightToLeftMark)
                continue; // marks that only steer the direction: nothing to see
            const int index = stbtt_FindGlyphIndex(&info, point);
            if (previous)
                pen += scale * static_cast<float>(stbtt_GetGlyphKernAdvance(&info, previous, index));
            glyphs[l].push_back({index, pen});
            int advance = 0, bearing = 0;
            stbtt_GetGlyphHMetrics(&info, index, &advance, &bearing);
            pen += scale * static_cast<float>(advance);
            previous = index;
        }
        widths[l] = static_cast<int>(std::ceil(pen));
    }
    return widths;
}

void CaptionPainter::set(const Cue& cue, int width, int height)
{
    const std::vector<std::string>& lines = cue.lines;
    const stbtt_fontinfo& info = font->info;
    const float scale = stbtt_ScaleForPixelHeight(&info, static_cast<float>(CaptionLayout::textHeightFor(height)));
    int ascent = 0, descent = 0, gap = 0;
    stbtt_GetFontVMetrics(&info, &ascent, &descent, &gap);
    std::vector<std::vector<Glyph>> glyphs;
    const std::vector<int> widths = measure(lines, scale, glyphs);
    const CaptionLayout layout
        = CaptionLayout::place(widths, static_cast<int>(std::lround(ascent * scale)), width, height, cue.settings);

    // Coverage of the glyphs and of the bands, then composed: white text
    // over the band, straight alpha for the show's blending.
    const size_t boxWidth = static_cast<size_t>(layout.boxWidth);
    std::vector<uint8_t> text(boxWidth * static_cast<size_t>(layout.boxHeight), 0);
    std::vector<uint8_t> band(text.size(), 0);
    std::vector<unsigned char> bitmap;
    for (size_t l = 0; l < layout.lines.size(); ++l) {
        const CaptionLayout::Line& line = layout.lines[l];
        for (int y = line.top; y < line.top + layout.bandHeight; ++y)
            std::fill_n(band.begin() + static_cast<std::ptrdiff_t>(static_cast<size_t>(y) * boxWidth + line.bandLeft),
                std::max(0, line.bandRight - line.bandLeft), uint8_t{255});
        for (const Glyph& glyph : glyphs[l]) {
            const float x = static_cast<float>(line.textLeft) + glyph.x;
            const float shift = x - std::floor(x);
            int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
            stbtt_GetGlyphBitmapBoxSubpixel(&info, glyph.index, scale, scale, shift, 0.0f, &x0, &y0, &x1, &y1);
            const int w = x1 - x0, h = y1 - y0;
            if (w <= 0 || h <= 0)
                continue;
            bitmap.assign(static_cast<size_t>(w) * static_cast<size_t>(h), 0);
            stbtt_MakeGlyphBitmapSubpixel(&info, bitmap.data(), w, h, w, scale, scale, shift, 0.0f, glyph.index);
            const int originX = static_cast<int>(std::floor(x)) + x0;
            const int originY = line.top + layout.baseline + y0;
            for (int gy = 0; gy < h; ++gy) {
                const int y = originY + gy;
                if (y < 0 || y >= layout.boxHeight)
                    continue;
                for (int gx = 0; gx < w; ++gx) {
                    const int px = originX + gx;
                    if (px < 0 || px >= layout.boxWidth)
                        continue;
                    uint8_t& cover = text[static_cast<size_t>(y) * boxWidth + static_cast<size_t>(px)];
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

    // The caller's state is saved around this (draw()).
    glBindTexture(GL_TEXTURE_2D, texture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, layout.boxWidth, layout.boxHeight, 0, GL_RGBA, GL_UNSIGNED_BYTE,
        rgba.data());

    const std::vector<float> quads = layout.quads();
    glBindBuffer(GL_ARRAY_BUFFER, vbo);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(quads.size() * sizeof(float)), quads.data(), GL_DYNAMIC_DRAW);
    vertexCount = static_cast<GLsizei>(quads.size() / 4);

    setLines = lines;
    setSettings = cue.settings;
    setWidth = width;
    setHeight = height;
}

void CaptionPainter::draw(const Cue* cue, int width, int height)
{
    if (!cue || !font || !error_.empty() || cue->lines.empty() || width <= 0 || height <= 0)
        return;
    const SavedGlState saved;
    if (cue->lines != setLines || cue->settings != setSettings || width != setWidth || height != setHeight)
        set(*cue, width, height);

    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glUseProgram(program);
    glUniform2f(viewportUniform, static_cast<float>(width), static_cast<float>(height));
    glUniform1i(samplerUniform, 0);
    glBindTexture(GL_TEXTURE_2D, texture);
    glBindVertexArray(vao);
    glDrawArrays(GL_TRIANGLES, 0, vertexCount);
}

} // namespace quorvane_engine
