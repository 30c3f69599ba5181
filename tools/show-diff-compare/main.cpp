// show-diff-compare: compares two folders of captured frames
// (frame_00000.png, frame_00001.png, ... as quorvane-capture writes them)
// frame by frame, and reports how many pixels of each frame differ and by how
// much. tools/show-diff captures the frames and runs it; `--help` tells how.

#include <stb_image.h>
#include <stb_image_write.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "FrameDiff.h"

namespace {

constexpr int kSuccess = 0;
constexpr int kDiffer = 1;
constexpr int kUsage = 2;

const char* const kHelp = R"(usage: show-diff-compare [options] BEFORE AFTER

Compares the frames in folder BEFORE with those in folder AFTER, frame_00000.png
on, as quorvane-capture --out DIR/frame_%05d.png writes them. Prints one line per
frame (pixels that differ, largest difference in any channel) and a summary.

  --tolerance N   differences up to N in a channel count as the same (default 0)
  --from SECONDS  show time of the first frame, for the report (default 0)
  --fps N         frames per second of the capture, for the report (default 5)
  --worst PATH    write a picture of the worst frame's differences here (PNG):
                  the after frame in dark grey, pixels that differ by 1 in
                  yellow, by more in red; written only when a frame differs
  --quiet, -q     no progress on standard error
  --help          this text

Exit codes: 0 every frame the same (within the tolerance), 1 frames differ or
cannot be read, 2 bad usage.
)";

struct Options {
    int tolerance = 0;
    double from = 0.0;
    double fps = 5.0;
    std::string worstPath;
    bool quiet = false;
    std::string before;
    std::string after;
};

int usage(const std::string& message)
{
    std::fprintf(stderr, "show-diff-compare: %s\nTry 'show-diff-compare --help' for more information.\n",
                 message.c_str());
    return kUsage;
}

bool parseNumber(const std::string& text, double& value)
{
    char* end = nullptr;
    errno = 0;
    value = std::strtod(text.c_str(), &end);
    return !text.empty() && end && *end == '\0' && errno == 0;
}

bool isFile(const std::string& path)
{
    struct stat status;
    return ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

bool isFolder(const std::string& path)
{
    struct stat status;
    return ::stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

std::string framePath(const std::string& folder, int index)
{
    char name[32];
    std::snprintf(name, sizeof name, "frame_%05d.png", index);
    return folder + "/" + name;
}

// One decoded RGB frame; empty when the file could not be read.
struct Frame {
    int width = 0;
    int height = 0;
    std::unique_ptr<uint8_t, void (*)(void*)> pixels{nullptr, stbi_image_free};

    bool load(const std::string& path)
    {
        int channels = 0;
        pixels.reset(stbi_load(path.c_str(), &width, &height, &channels, 3));
        return pixels != nullptr;
    }
};

} // namespace

int main(int argc, char** argv)
{
    Options options;
    std::vector<std::string> folders;
    for (int i = 1; i < argc; ++i) {
        const std::string name = argv[i];
        if (name == "--help" || name == "-h") {
            std::fputs(kHelp, stdout);
            return kSuccess;
        }
        if (name == "--quiet" || name == "-q") {
            options.quiet = true;
            continue;
        }
        if (name == "--tolerance" || name == "--from" || name == "--fps" || name == "--worst") {
            if (i + 1 >= argc)
                return usage(name + " wants a value");
            const std::string value = argv[++i];
            double number = 0.0;
            if (name == "--worst") {
                options.worstPath = value;
            } else if (!parseNumber(value, number)) {
                return usage(name + " wants a number, not \"" + value + "\"");
            } else if (name == "--tolerance") {
                if (number < 0 || number > 255 || number != static_cast<int>(number))
                    return usage("--tolerance wants a whole number from 0 to 255, not \"" + value + "\"");
                options.tolerance = static_cast<int>(number);
            } else if (name == "--from") {
                options.from = number;
            } else if (number <= 0) {
                return usage("--fps wants a number above 0, not \"" + value + "\"");
            } else {
                options.fps = number;
            }
            continue;
        }
        if (name.size() > 1 && name[0] == '-')
            return usage("unknown option " + name);
        folders.push_back(name);
    }
    if (folders.size() != 2)
        return usage("wants two folders of frames, BEFORE and AFTER");
    options.before = folders[0];
    options.after = folders[1];
    for (const std::string& folder : folders)
        if (!isFolder(folder))
            return usage(folder + ": not a folder");

    int count = 0;
    while (isFile(framePath(options.before, count)) || isFile(framePath(options.after, count)))
        ++count;
    if (count == 0) {
        std::fprintf(stderr, "show-diff-compare: %s: no frames (frame_00000.png) to compare\n",
                     framePath(options.before, 0).c_str());
        return kDiffer;
    }

    long long sameFrames = 0;
    long long differingFrames = 0;
    long long pixelsByOne = 0;
    long long pixelsByMore = 0;
    int largest = 0;
    int worst = -1;
    FrameDiff::Result worstResult;
    bool beyondTolerance = false;
    const bool terminal = isatty(fileno(stderr));
    for (int i = 0; i < count; ++i) {
        Frame before;
        Frame after;
        const std::string beforePath = framePath(options.before, i);
        const std::string afterPath = framePath(options.after, i);
        if (!before.load(beforePath) || !after.load(afterPath)) {
            const std::string& bad = before.pixels ? afterPath : beforePath;
            std::fprintf(stderr, "show-diff-compare: %s: cannot read the frame (%s)\n", bad.c_str(),
                         isFile(bad) ? stbi_failure_reason() : "missing");
            return kDiffer;
        }
        if (before.width != after.width || before.height != after.height) {
            std::fprintf(stderr, "show-diff-compare: %s is %dx%d but %s is %dx%d\n", beforePath.c_str(), before.width,
                         before.height, afterPath.c_str(), after.width, after.height);
            return kDiffer;
        }
        const FrameDiff::Result result =
            FrameDiff::compare(before.pixels.get(), after.pixels.get(), before.width, before.height);
        const double time = options.from + i / options.fps;
        if (result.differing == 0) {
            ++sameFrames;
            std::printf("frame %05d  %9.3f s  same\n", i, time);
        } else {
            ++differingFrames;
            pixelsByOne += result.byOne;
            pixelsByMore += result.differing - result.byOne;
            std::printf("frame %05d  %9.3f s  %lld pixels differ, largest difference %d\n", i, time,
                        result.differing, result.largest);
            if (result.largest > options.tolerance)
                beyondTolerance = true;
            if (result.largest > largest)
                largest = result.largest;
            if (worst < 0 || result.largest > worstResult.largest ||
                (result.largest == worstResult.largest && result.differing > worstResult.differing)) {
                worst = i;
                worstResult = result;
                if (!options.worstPath.empty()) {
                    const std::vector<uint8_t> picture =
                        FrameDiff::picture(before.pixels.get(), after.pixels.get(), before.width, before.height);
                    if (!stbi_write_png(options.worstPath.c_str(), before.width, before.height, 3, picture.data(),
                                        before.width * 3)) {
                        std::fprintf(stderr, "show-diff-compare: %s: cannot write the PNG file\n",
                                     options.worstPath.c_str());
                        return kDiffer;
                    }
                }
            }
        }
        if (!options.quiet && (terminal ? (i % 10 == 9 || i + 1 == count) : ((i + 1) % 200 == 0 || i + 1 == count)))
            std::fprintf(stderr, terminal ? "\rshow-diff-compare: %d/%d frames compared" : "show-diff-compare: %d/%d frames compared\n",
                         i + 1, count);
    }
    if (!options.quiet && terminal)
        std::fputc('\n', stderr);
    std::fflush(stdout);

    std::printf("summary: %d frames, %lld the same, %lld differ; pixels differing by 1: %lld, by more: %lld; "
                "largest difference %d",
                count, sameFrames, differingFrames, pixelsByOne, pixelsByMore, largest);
    if (worst >= 0) {
        std::printf(" (worst frame %05d at %.3f s, %lld pixels)", worst, options.from + worst / options.fps,
                    worstResult.differing);
        if (!options.worstPath.empty())
            std::printf("; its differences: %s", options.worstPath.c_str());
    }
    std::printf("\n");
    return beyondTolerance ? kDiffer : kSuccess;
}
