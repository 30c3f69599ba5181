#include "OptionParser.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <string>

#include "ContactSheet.h"
#include "FramePattern.h"
#include "FrameSchedule.h"

namespace {

// Parses a whole argument as a finite decimal number.
bool parseNumber(const std::string& text, double& value)
{
    if (text.empty() || text[0] == ' ' || text[0] == '\t')
        return false;
    char* end = nullptr;
    errno = 0;
    value = std::strtod(text.c_str(), &end);
    return errno == 0 && end == text.c_str() + text.size() && std::isfinite(value);
}

// Parses a whole argument of decimal digits as an int between `low` and `high`.
bool parseInt(const std::string& text, int low, int high, int& value)
{
    if (text.empty() || text.size() > 9)
        return false;
    for (char c : text)
        if (c < '0' || c > '9')
            return false;
    const long number = std::strtol(text.c_str(), nullptr, 10);
    if (number < low || number > high)
        return false;
    value = static_cast<int>(number);
    return true;
}

// Parses "WxH", each side between 1 and OptionParser::kMaxSide.
bool parseSize(const std::string& text, int& width, int& height)
{
    const std::size_t x = text.find('x');
    if (x == std::string::npos)
        return false;
    return parseInt(text.substr(0, x), 1, OptionParser::kMaxSide, width) &&
           parseInt(text.substr(x + 1), 1, OptionParser::kMaxSide, height);
}

OptionParser::Result usage(const std::string& error)
{
    OptionParser::Result result;
    result.outcome = OptionParser::Usage;
    result.error = error;
    return result;
}

// Checks that the options given fit together and settles the mode.
std::string checkRequest(CaptureOptions& options, bool outGiven, bool fromGiven, bool toGiven, bool fpsGiven)
{
    if (fromGiven || toGiven || fpsGiven) {
        if (!(fromGiven && toGiven && fpsGiven))
            return "--from, --to and --fps go together";
        options.hasRange = true;
    }
    if (options.hasRange && !options.times.empty())
        return "give either --time or a range (--from, --to, --fps), not both";
    if (!options.videoPath.empty() && !options.sheetPath.empty())
        return "give either --video or --contact-sheet, not both";

    long long frames = static_cast<long long>(options.times.size());
    if (options.hasRange) {
        if (options.to < options.from)
            return "--to must not be earlier than --from";
        frames = FrameSchedule::rangeCount(options.from, options.to, options.fps);
        if (frames > FrameSchedule::kMaxFrames)
            return "the range holds more than " + std::to_string(FrameSchedule::kMaxFrames) + " frames";
    }

    if (!options.videoPath.empty()) {
        options.mode = CaptureOptions::Video;
        if (outGiven)
            return "--out names PNG frames; with --video the frames go into the video";
        if (!options.hasRange)
            return "--video needs a range: --from, --to and --fps";
        if (options.width % 2 != 0 || options.height % 2 != 0)
            return "--video needs an even width and height (the video's yuv420p colour halves both)";
        return "";
    }
    if (!options.sheetPath.empty()) {
        options.mode = CaptureOptions::ContactSheet;
        if (outGiven)
            return "--out names PNG frames; with --contact-sheet the frames go into the sheet";
        if (frames > ContactSheet::kMaxTiles)
            return "a contact sheet holds at most " + std::to_string(ContactSheet::kMaxTiles) + " frames, not " +
                   std::to_string(frames);
        // Without times the tiles are the scenes, known only once the show is built.
        std::string error;
        const int tileWidth = options.tileWidth ? options.tileWidth : ContactSheet::defaultTileWidth(options.width);
        const int tileHeight = ContactSheet::tileHeightFor(tileWidth, options.width, options.height);
        if (frames > 0 && !ContactSheet::fits(static_cast<int>(frames), tileWidth, tileHeight, error))
            return error;
        return "";
    }
    options.mode = CaptureOptions::Frames;
    if (frames == 0)
        return "nothing to capture: give --time, a range (--from, --to, --fps), --video or --contact-sheet";
    FramePattern pattern;
    std::string error;
    if (frames > 1 && FramePattern::parse(options.outPattern, pattern, error) && !pattern.numbered())
        return "--out \"" + options.outPattern + "\" has no conversion for the frame index (such as %05d); each of " +
               std::to_string(frames) + " frames would overwrite the same file";
    return "";
}

} // namespace

OptionParser::Result OptionParser::parse(const std::vector<std::string>& arguments)
{
    Result result;
    CaptureOptions& options = result.options;
    bool outGiven = false;
    bool fromGiven = false;
    bool toGiven = false;
    bool fpsGiven = false;

    for (std::size_t i = 0; i < arguments.size(); ++i) {
        std::string name = arguments[i];
        std::string value;
        bool hasValue = false;
        const std::size_t equals = name.find('=');
        if (name.rfind("--", 0) == 0 && equals != std::string::npos) {
            value = name.substr(equals + 1);
            name = name.substr(0, equals);
            hasValue = true;
        }

        if (name == "--help" || name == "-h") {
            result.outcome = Help;
            return result;
        }
        if (name == "--version") {
            result.outcome = Version;
            return result;
        }
        if (name == "--quiet" || name == "-q" || name == "--captions") {
            if (hasValue)
                return usage(name + " takes no value");
            (name == "--captions" ? options.captions : options.quiet) = true;
            continue;
        }

        const bool takesValue = name == "-C" || name == "--size" || name == "--time" || name == "--from" ||
                                name == "--to" || name == "--fps" || name == "--out" || name == "--video" ||
                                name == "--contact-sheet" || name == "--crf" || name == "--tile-width";
        if (!takesValue) {
            if (name.rfind("-", 0) == 0)
                return usage("unknown option " + name);
            return usage("unexpected argument \"" + name + "\"");
        }
        if (!hasValue) {
            if (i + 1 >= arguments.size())
                return usage(name + " needs a value");
            value = arguments[++i];
        }

        double number = 0.0;
        if (name == "-C") {
            if (value.empty())
                return usage("-C needs a folder");
            options.directories.push_back(value);
        } else if (name == "--size") {
            if (!parseSize(value, options.width, options.height))
                return usage("--size wants WIDTHxHEIGHT, each 1 to " + std::to_string(kMaxSide) + ", not \"" +
                             value + "\"");
        } else if (name == "--time") {
            if (!parseNumber(value, number))
                return usage("--time wants a number of seconds, not \"" + value + "\"");
            if (!options.times.empty() && number < options.times.back())
                return usage("--time values must not decrease: " + value + " comes after a later time");
            options.times.push_back(number);
        } else if (name == "--from" || name == "--to") {
            if (!parseNumber(value, number))
                return usage(name + " wants a number of seconds, not \"" + value + "\"");
            (name == "--from" ? options.from : options.to) = number;
            (name == "--from" ? fromGiven : toGiven) = true;
        } else if (name == "--fps") {
            if (!parseNumber(value, number) || number <= 0.0 || number > kMaxFps)
                return usage("--fps wants frames per second above 0 and up to 1000, not \"" + value + "\"");
            options.fps = number;
            fpsGiven = true;
        } else if (name == "--out") {
            FramePattern pattern;
            std::string error;
            if (!FramePattern::parse(value, pattern, error))
                return usage("--out: " + error);
            options.outPattern = value;
            outGiven = true;
        } else if (name == "--video" || name == "--contact-sheet") {
            if (value.empty())
                return usage(name + " needs a file name");
            (name == "--video" ? options.videoPath : options.sheetPath) = value;
        } else if (name == "--crf") {
            if (!parseInt(value, 0, 51, options.crf))
                return usage("--crf wants a quality from 0 (best) to 51, not \"" + value + "\"");
        } else if (name == "--tile-width") {
            if (!parseInt(value, ContactSheet::kMinTileWidth, ContactSheet::kMaxTileWidth, options.tileWidth))
                return usage("--tile-width wants " + std::to_string(ContactSheet::kMinTileWidth) + " to " +
                             std::to_string(ContactSheet::kMaxTileWidth) + " pixels, not \"" + value + "\"");
        }
    }

    const std::string error = checkRequest(options, outGiven, fromGiven, toGiven, fpsGiven);
    if (!error.empty())
        return usage(error);
    result.outcome = Run;
    return result;
}

std::string OptionParser::helpText()
{
    return R"(Usage: quorvane-capture [options]

Renders the show offscreen, frame by frame in increasing show time, exactly
as the screen would show it, and writes PNG frames, a video with the music,
or a contact sheet. Reads data/config.txt and everything it names relative
to the working directory, as the show does.

What to render:
  --time T              one frame at show time T seconds; repeat for more
                        frames, in increasing order
  --from A --to B --fps F
                        the frames at A, A + 1/F, A + 2/F, ... up to and
                        including B

What to write (PNG frames unless one of the last two is given):
  --out PATTERN         PNG file of each frame, with one printf integer
                        conversion for the frame index counted from 0
                        (default frame_%05d.png), or a plain file name for
                        one frame; 8-bit RGB, top row first
  --video FILE          one video through ffmpeg with the music of the range
                        (needs a range and an even size): H.264 and AAC in
                        MP4, or in Matroska or QuickTime for a .mkv or .mov
                        file; VP9 and Opus in WebM for a .webm file; the
                        captions of the range as a subtitle stream, off
                        unless the viewer turns it on
  --contact-sheet FILE  one PNG with a labelled tile for the middle of every
                        scene, or for each frame asked for with --time or a
                        range

Options:
  -C DIR                change to DIR first; every path, the output files
                        included, is then relative to DIR
  --captions            draw the captions (data/captions.vtt) over the
                        frames, and so into the video's pictures
  --size WxH            framebuffer size in pixels (default 1920x1080)
  --crf N               video quality, 0 (best) to 51 (default 18)
  --tile-width N        contact-sheet tile width (default the frame width,
                        at most 480)
  -q, --quiet           no progress line
  -h, --help            this text
  --version             the version

Exit status: 0 on success, 1 when the show or an output could not be
rendered or written (a missing resource, no OpenGL 4.1 context, ffmpeg
failing), 2 on bad usage.

Examples:
  quorvane-capture --contact-sheet sheet.png
  quorvane-capture --time 12.5 --time 100 --out shot_%02d.png
  quorvane-capture --from 0 --to 286.4 --fps 30 --size 1280x720 --video show.mp4
)";
}
