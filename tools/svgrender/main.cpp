// svgrender: renders the show's images from their SVG sources with librsvg
// and cairo. It knows which images exist from the resource list; it does not
// decide sizes, which are the sources' page sizes, nor compose anything.
//
// A texture NAME comes from the file NAME.svg, rendered whole as an opaque
// picture, or else from the element with id NAME in one of the other files
// (the figure files), rendered alone at the size of that file's page and
// transparent everywhere else. All figure files share one page size, so every
// part image registers with every other. A part image keeps its outermost row
// and column transparent: the show samples textures with the repeat wrap, so
// paint on one edge would bleed onto the opposite one (soles drawn above the
// head).
#include <cairo.h>
#include <librsvg/rsvg.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "ArgumentReader.h"
#include "ToolMain.h"
#include "UsageError.h"
#include "engine/ConfigLine.h"

namespace {

const char* const kHelp =
    "usage: svgrender --config FILE --out DIR [--only NAME]... SVG...\n"
    "Renders every texture that the resource list FILE names from the SVG\n"
    "files given. Texture NAME is the file NAME.svg rendered whole (an opaque\n"
    "picture), or else the element with id NAME in one of the other files,\n"
    "rendered alone at the size of that file's page, transparent elsewhere\n"
    "and always on its outermost row and column.\n"
    "Each image is written as DIR/<file name of the texture's path>.\n"
    "\n"
    "  --config FILE  resource list; its \"Texture NAME PATH\" lines are read\n"
    "  --out DIR      folder for the PNG images (must exist)\n"
    "  --only NAME    render only this texture; may be repeated\n"
    "  -q, --quiet    no summary line on standard error\n"
    "  -h, --help     show this text\n"
    "  --version      the version\n"
    "\n"
    "Exit status: 0 every image written, 1 a source or an image failed,\n"
    "2 wrong usage.\n";

const ToolMain kTool("svgrender", kHelp);

// Texels of transparent frame round every part image.
const int kPartBorder = 1;

// The longest side of an image: the largest texture every OpenGL 4.1
// driver takes.
const int kLargestSide = 16384;

struct TextureEntry {
    std::string name;
    std::string path; // as the resource list gives it
};

struct SvgSource {
    std::string path;
    std::string stem; // file name without folder and ".svg"
    RsvgHandle* handle = nullptr;
    int width = 0;
    int height = 0;
};

struct Options {
    std::string config;
    std::string outDir;
    std::set<std::string> only;
    std::vector<std::string> sources;
    bool quiet = false;
};

// Reports `message` on standard error, prefixed with the tool's name.
void fail(const std::string& message)
{
    kTool.report(message);
}

std::string baseName(const std::string& path)
{
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

Options parseOptions(const std::vector<std::string>& arguments)
{
    Options options;
    ArgumentReader args(arguments);
    while (args.next()) {
        if (args.isFlag("--quiet", "-q"))
            options.quiet = true;
        else if (args.isOption("--config"))
            options.config = args.value();
        else if (args.isOption("--out"))
            options.outDir = args.value();
        else if (args.isOption("--only"))
            options.only.insert(args.value());
        else
            options.sources.push_back(args.operand());
    }
    if (options.config.empty() || options.outDir.empty() || options.sources.empty())
        throw UsageError("needs --config, --out and at least one SVG file");
    return options;
}

// The "Texture" lines of the resource list, in file order.
bool readTextures(const std::string& configPath, std::vector<TextureEntry>& textures)
{
    std::ifstream in(configPath, std::ios::binary);
    if (!in) {
        fail(configPath + ": cannot open: " + std::strerror(errno));
        return false;
    }
    bool ok = true;
    for (const ConfigLine& line : ConfigLine::readList(in)) {
        if (line.keyword != "Texture")
            continue;
        if (line.kind != ConfigLine::Texture) {
            fail(configPath + ":" + std::to_string(line.number) + ": \"Texture\" needs a name and a path");
            ok = false;
            continue;
        }
        textures.push_back({line.name, line.first});
    }
    return ok;
}

// The length of the UTF-8 sequence that starts `text` at `at`; 0 when the
// bytes there are none (cut short, overlong, a surrogate, past U+10FFFF).
size_t utf8Length(const std::string& text, size_t at)
{
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    if (lead < 0x80)
        return 1;
    const size_t length = lead >= 0xc2 && lead <= 0xdf ? 2
        : lead >= 0xe0 && lead <= 0xef                 ? 3
        : lead >= 0xf0 && lead <= 0xf4                 ? 4
                                                       : 0;
    if (length == 0 || text.size() - at < length)
        return 0;
    for (size_t i = 1; i < length; ++i)
        if ((byte(at + i) & 0xc0) != 0x80)
            return 0;
    const unsigned char second = byte(at + 1);
    if ((lead == 0xe0 && second < 0xa0) || (lead == 0xed && second >= 0xa0) || (lead == 0xf0 && second < 0x90)
        || (lead == 0xf4 && second >= 0x90))
        return 0;
    return length;
}

// "LINE: what is wrong" for the first byte of `text` that no XML text holds:
// a NUL or another control character but tab, line feed and carriage
// return, or bytes that are not UTF-8; empty when there is none.
std::string binaryFault(const std::string& text)
{
    size_t line = 1;
    size_t lineStart = 0;
    for (size_t at = 0; at < text.size();) {
        const unsigned char byte = static_cast<unsigned char>(text[at]);
        const std::string where = std::to_string(line) + ": ";
        const std::string column = " at column " + std::to_string(at - lineStart + 1);
        if (byte == 0)
            return where + "a NUL byte" + column + "; an SVG source is text";
        if (byte < 0x20 && byte != '\t' && byte != '\n' && byte != '\r') {
            char code[8];
            std::snprintf(code, sizeof code, "0x%02x", byte);
            return where + "the control character " + code + column + "; an SVG source is text";
        }
        const size_t length = utf8Length(text, at);
        if (length == 0)
            return where + "bytes that are not UTF-8" + column;
        if (byte == '\n') {
            ++line;
            lineStart = at + 1;
        }
        at += length;
    }
    return {};
}

// librsvg's XML error ("... on line L column C of data: REASON", perhaps
// followed by more lines) as "path:L: REASON (column C)"; as given when it
// does not read so.
std::string xmlError(const std::string& path, const std::string& message)
{
    unsigned long line = 0, column = 0;
    int reasonAt = 0;
    const size_t on = message.find(" on line ");
    if (on == std::string::npos
        || std::sscanf(message.c_str() + on, " on line %lu column %lu of data: %n", &line, &column, &reasonAt) != 2
        || reasonAt == 0)
        return path + ": " + message;
    std::string reason = message.substr(on + static_cast<size_t>(reasonAt));
    reason = reason.substr(0, reason.find('\n'));
    while (!reason.empty() && (reason.back() == ' ' || reason.back() == '\r'))
        reason.pop_back();
    return path + ":" + std::to_string(line) + ": " + reason + " (column " + std::to_string(column) + ")";
}

// Loads one SVG file and reads its page size in pixels.
bool loadSource(const std::string& path, SvgSource& source)
{
    source.path = path;
    source.stem = baseName(path);
    if (source.stem.size() > 4 && source.stem.compare(source.stem.size() - 4, 4, ".svg") == 0)
        source.stem.resize(source.stem.size() - 4);

    // librsvg's parser stops at a NUL as at the end of the file, and names
    // other junk by the bytes it holds: the bytes are looked at first.
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        fail(path + ": cannot open: " + std::strerror(errno));
        return false;
    }
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::string fault = binaryFault(text);
    if (!fault.empty()) {
        fail(path + ":" + fault);
        return false;
    }
    GError* error = nullptr;
    source.handle = rsvg_handle_new_from_file(path.c_str(), &error);
    if (!source.handle) {
        fail(error ? xmlError(path, error->message) : path + ": cannot load");
        g_clear_error(&error);
        return false;
    }
    rsvg_handle_set_dpi(source.handle, 96.0);
    double width = 0.0;
    double height = 0.0;
    if (!rsvg_handle_get_intrinsic_size_in_pixels(source.handle, &width, &height) || width < 1.0
        || height < 1.0) {
        fail(path + ": <svg> needs a width and a height in pixels");
        return false;
    }
    if (!(width < kLargestSide + 0.5) || !(height < kLargestSide + 0.5)) {
        char size[64];
        std::snprintf(size, sizeof size, "%.0fx%.0f", width, height);
        fail(path + ": <svg> is " + size + " pixels, where an image has at most " + std::to_string(kLargestSide)
            + " a side");
        return false;
    }
    source.width = static_cast<int>(width + 0.5);
    source.height = static_cast<int>(height + 0.5);
    return true;
}

// True when some pixel of the ARGB32 surface is not fully transparent.
bool drawsAnything(cairo_surface_t* surface)
{
    cairo_surface_flush(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    const int width = cairo_image_surface_get_width(surface);
    const int height = cairo_image_surface_get_height(surface);
    for (int y = 0; y < height; ++y) {
        const uint32_t* row = reinterpret_cast<const uint32_t*>(data + y * stride);
        for (int x = 0; x < width; ++x)
            if (row[x] >> 24)
                return true;
    }
    return false;
}

// Writes the surface as a PNG: first to a neighbouring file, then renamed, so
// that a failed run never leaves half an image under the real name.
bool writePng(cairo_surface_t* surface, const std::string& path, const std::string& what)
{
    const std::string temporary = path + ".part";
    const cairo_status_t status = cairo_surface_write_to_png(surface, temporary.c_str());
    if (status != CAIRO_STATUS_SUCCESS) {
        std::remove(temporary.c_str());
        fail(path + ": cannot write " + what + ": " + cairo_status_to_string(status));
        return false;
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        fail(path + ": cannot write " + what + ": " + std::strerror(errno));
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

// Renders the whole page of `source` as an opaque picture on white.
bool renderPicture(const SvgSource& source, const std::string& outPath)
{
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, source.width, source.height);
    cairo_t* cr = cairo_create(surface);
    cairo_set_source_rgb(cr, 1.0, 1.0, 1.0);
    cairo_paint(cr);
    const RsvgRectangle viewport = {0.0, 0.0, double(source.width), double(source.height)};
    GError* error = nullptr;
    bool ok = rsvg_handle_render_document(source.handle, cr, &viewport, &error);
    if (!ok) {
        fail(source.path + ": cannot render: " + (error ? error->message : "unknown reason"));
        g_clear_error(&error);
    }
    cairo_destroy(cr);
    if (ok)
        ok = writePng(surface, outPath, "picture from " + source.path);
    cairo_surface_destroy(surface);
    return ok;
}

// Renders the element `id` of `source` alone, in its place on the page,
// clipped to the page less its outermost row and column.
bool renderPart(const SvgSource& source, const std::string& id, const std::string& outPath)
{
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, source.width, source.height);
    cairo_t* cr = cairo_create(surface);
    cairo_rectangle(cr, kPartBorder, kPartBorder, source.width - 2 * kPartBorder, source.height - 2 * kPartBorder);
    cairo_clip(cr);
    const RsvgRectangle viewport = {0.0, 0.0, double(source.width), double(source.height)};
    const std::string ref = "#" + id;
    GError* error = nullptr;
    bool ok = rsvg_handle_render_layer(source.handle, cr, ref.c_str(), &viewport, &error);
    if (!ok) {
        fail(source.path + ": element \"" + id + "\": cannot render: " + (error ? error->message : "unknown reason"));
        g_clear_error(&error);
    }
    cairo_destroy(cr);
    if (ok && !drawsAnything(surface)) {
        fail(source.path + ": element \"" + id + "\" draws nothing inside the page");
        ok = false;
    }
    if (ok)
        ok = writePng(surface, outPath, "element \"" + id + "\" of " + source.path);
    cairo_surface_destroy(surface);
    return ok;
}

// True when every name of `only` is a texture of the list.
bool allKnown(const std::set<std::string>& only, const std::vector<TextureEntry>& textures, const std::string& config)
{
    for (const std::string& name : only) {
        bool known = false;
        for (const TextureEntry& texture : textures)
            known = known || texture.name == name;
        if (!known) {
            fail(config + ": no texture named \"" + name + "\"");
            return false;
        }
    }
    return true;
}

// True when all figure files (the sources that are no picture of their own)
// share one page size, so that every part registers with every other.
bool shareOneFrame(const std::vector<SvgSource>& sources, const std::set<std::string>& pictureStems)
{
    bool ok = true;
    const SvgSource* figureFrame = nullptr;
    for (const SvgSource& source : sources) {
        if (pictureStems.count(source.stem))
            continue;
        if (!figureFrame) {
            figureFrame = &source;
        } else if (source.width != figureFrame->width || source.height != figureFrame->height) {
            fail(source.path + ": page is " + std::to_string(source.width) + "x" + std::to_string(source.height)
                 + ", but " + figureFrame->path + " is " + std::to_string(figureFrame->width) + "x"
                 + std::to_string(figureFrame->height) + "; all figure files share one frame");
            ok = false;
        }
    }
    return ok;
}

// Renders `texture` from the one file that serves it: a picture file of its
// name, or the one figure file with an element of that id.
bool renderTexture(const TextureEntry& texture, const std::vector<SvgSource>& sources,
    const std::set<std::string>& pictureStems, const std::string& outDir)
{
    const SvgSource* picture = nullptr;
    std::vector<const SvgSource*> holders;
    const std::string ref = "#" + texture.name;
    for (const SvgSource& source : sources) {
        if (source.stem == texture.name)
            picture = &source;
        else if (!pictureStems.count(source.stem) && rsvg_handle_has_sub(source.handle, ref.c_str()))
            holders.push_back(&source);
    }
    std::string places = picture ? picture->path : "";
    for (const SvgSource* holder : holders)
        places += (places.empty() ? "" : ", ") + holder->path;
    if (!picture && holders.empty()) {
        fail("texture \"" + texture.name + "\": no file " + texture.name
             + ".svg and no element with that id in the SVG files given");
        return false;
    }
    if ((picture ? 1 : 0) + holders.size() > 1) {
        fail("texture \"" + texture.name + "\" is drawn in more than one place: " + places);
        return false;
    }
    const std::string outPath = outDir + "/" + baseName(texture.path);
    return picture ? renderPicture(*picture, outPath) : renderPart(*holders[0], texture.name, outPath);
}

// Renders the images the command line asks for; returns the exit code.
int render(const std::vector<std::string>& arguments)
{
    const Options options = parseOptions(arguments);

    std::vector<TextureEntry> textures;
    if (!readTextures(options.config, textures) || !allKnown(options.only, textures, options.config))
        return ToolMain::kFailure;

    std::vector<SvgSource> sources(options.sources.size());
    bool ok = true;
    for (size_t i = 0; i < sources.size(); ++i)
        ok = loadSource(options.sources[i], sources[i]) && ok;
    if (!ok)
        return ToolMain::kFailure;

    std::set<std::string> pictureStems;
    for (const TextureEntry& texture : textures)
        pictureStems.insert(texture.name);
    ok = shareOneFrame(sources, pictureStems);

    int written = 0;
    for (const TextureEntry& texture : textures) {
        if (!options.only.empty() && !options.only.count(texture.name))
            continue;
        const bool rendered = renderTexture(texture, sources, pictureStems, options.outDir);
        written += rendered ? 1 : 0;
        ok = rendered && ok;
    }

    for (SvgSource& source : sources)
        if (source.handle)
            g_object_unref(source.handle);
    if (!options.quiet)
        std::fprintf(stderr, "svgrender: wrote %d image%s into %s\n", written, written == 1 ? "" : "s",
                     options.outDir.c_str());
    return ok ? ToolMain::kSuccess : ToolMain::kFailure;
}

} // namespace

int main(int argc, char** argv)
{
    return kTool.run(argc, argv, render);
}
