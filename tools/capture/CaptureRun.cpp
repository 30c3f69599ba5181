#include "CaptureRun.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <exception>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "ContactSheet.h"
#include "FramePattern.h"
#include "FrameSchedule.h"
#include "ProgressLine.h"
#include "RgbImage.h"
#include "engine/SceneLabel.h"
#include "ShowRenderer.h"
#include "VideoEncoder.h"
#include "engine/CaptionPainter.h"
#include "engine/CueList.h"
#include "engine/OffscreenContext.h"

namespace {

int fail(const std::string& message)
{
    std::fprintf(stderr, "quorvane-capture: %s\n", message.c_str());
    return CaptureRun::kFailure;
}

// Removes what a failed ffmpeg left of the video, if it is a file.
void removeVideo(const std::string& path)
{
    struct stat status;
    if (::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode))
        std::remove(path.c_str());
}

bool readable(const char* path)
{
    std::ifstream file(path, std::ios::binary);
    return static_cast<bool>(file);
}

// The frames of a contact sheet without times: the middle of every scene,
// in increasing time.
std::vector<double> sceneMiddles(const ShowRenderer& renderer)
{
    std::vector<double> times;
    for (const ShowRenderer::SceneWindow& window : renderer.sceneWindows())
        times.push_back(window.startTime + (window.endTime - window.startTime) / 2.0);
    std::stable_sort(times.begin(), times.end());
    return times;
}

int writeFrames(ShowRenderer& renderer, const FrameSchedule& schedule, const CaptureOptions& options,
                ProgressLine& progress)
{
    FramePattern pattern;
    std::string error;
    if (!FramePattern::parse(options.outPattern, pattern, error))
        return fail("--out: " + error);
    RgbImage frame;
    for (std::size_t i = 0; i < schedule.size(); ++i) {
        renderer.render(schedule.timeAt(i), frame);
        const std::string path = pattern.format(static_cast<int>(i));
        if (!frame.writePng(path))
            return fail(path + ": cannot write the PNG file");
        progress.frameDone();
    }
    progress.finish();
    return CaptureRun::kSuccess;
}

// A WebVTT file of the cues `cues` shows in the video's stretch of show
// time, timed from its first frame, in the temporary folder; removed with
// the object. No file when no cue shows.
class RangeSubtitles {
public:
    RangeSubtitles(const quorvane_engine::CueList& cues, double from, double to)
    {
        const quorvane_engine::CueList range = cues.range(from, to);
        if (range.cues.empty())
            return;
        const char* folder = std::getenv("TMPDIR");
        std::string name = std::string(folder && *folder ? folder : "/tmp") + "/quorvane-capture-XXXXXX.vtt";
        const int file = ::mkstemps(&name[0], 4);
        if (file < 0)
            throw std::runtime_error(name + ": cannot make a file for the subtitles: " + std::strerror(errno));
        const std::string text = range.toWebVtt();
        const bool written = ::write(file, text.data(), text.size()) == static_cast<ssize_t>(text.size());
        ::close(file);
        path = name;
        if (!written)
            throw std::runtime_error(name + ": cannot write the subtitles");
    }
    ~RangeSubtitles()
    {
        if (!path.empty())
            std::remove(path.c_str());
    }
    RangeSubtitles(const RangeSubtitles&) = delete;
    RangeSubtitles& operator=(const RangeSubtitles&) = delete;

    std::string path;
};

int writeVideo(ShowRenderer& renderer, const FrameSchedule& schedule, const CaptureOptions& options,
               const quorvane_engine::CueList* cues, ProgressLine& progress)
{
    VideoEncoder::Settings settings;
    settings.path = options.videoPath;
    settings.musicPath = CaptureRun::kMusicPath;
    settings.width = options.width;
    settings.height = options.height;
    settings.fps = options.fps;
    settings.from = options.from;
    settings.frames = static_cast<long long>(schedule.size());
    settings.crf = options.crf;
    std::unique_ptr<RangeSubtitles> subtitles;
    if (cues) {
        subtitles = std::make_unique<RangeSubtitles>(
            *cues, options.from, options.from + static_cast<double>(settings.frames) / options.fps);
        settings.subtitlesPath = subtitles->path;
    }

    VideoEncoder encoder;
    std::string error;
    if (!encoder.start(settings, error))
        return fail(error);
    RgbImage frame;
    for (std::size_t i = 0; i < schedule.size(); ++i) {
        renderer.render(schedule.timeAt(i), frame);
        if (!encoder.write(frame, error)) {
            std::string status;
            encoder.finish(status);
            removeVideo(options.videoPath);
            return fail(options.videoPath + ": " + error + (status.empty() ? "" : " (" + status + ")"));
        }
        progress.frameDone();
    }
    progress.finish();
    if (!encoder.finish(error)) {
        removeVideo(options.videoPath);
        return fail(options.videoPath + ": " + error);
    }
    return CaptureRun::kSuccess;
}

int writeSheet(ShowRenderer& renderer, const FrameSchedule& schedule, const CaptureOptions& options,
               ProgressLine& progress)
{
    const int tiles = static_cast<int>(schedule.size());
    if (tiles == 0)
        return fail("the show has no scenes to put on a contact sheet");
    if (tiles > ContactSheet::kMaxTiles)
        return fail("a contact sheet holds at most " + std::to_string(ContactSheet::kMaxTiles) + " frames");
    const int tileWidth = options.tileWidth ? options.tileWidth : ContactSheet::defaultTileWidth(options.width);
    const int tileHeight = ContactSheet::tileHeightFor(tileWidth, options.width, options.height);
    std::string error;
    if (!ContactSheet::fits(tiles, tileWidth, tileHeight, error))
        return fail(error);

    ContactSheet sheet(tiles, tileWidth, tileHeight);
    RgbImage frame;
    for (int i = 0; i < tiles; ++i) {
        const double time = schedule.timeAt(static_cast<std::size_t>(i));
        renderer.render(time, frame);
        sheet.place(i, frame, SceneLabel::text(renderer.scenesAt(time), time));
        progress.frameDone();
    }
    progress.finish();
    if (!sheet.image.writePng(options.sheetPath))
        return fail(options.sheetPath + ": cannot write the PNG file");
    return CaptureRun::kSuccess;
}

} // namespace

int CaptureRun::run(const CaptureOptions& options)
{
    for (const std::string& directory : options.directories)
        if (::chdir(directory.c_str()) != 0)
            return fail("-C " + directory + ": " + std::strerror(errno));
    if (!readable(kConfigPath))
        return fail(std::string(kConfigPath) +
                    ": cannot read the resource list (run in the show's folder, or name it with -C)");
    if (options.mode == CaptureOptions::Video && !readable(kMusicPath))
        return fail(std::string(kMusicPath) + ": cannot read the music");

    OffscreenContext context;
    if (!context.ok())
        return fail(context.error());

    try {
        std::unique_ptr<ShowRenderer> renderer;
        try {
            renderer = std::make_unique<ShowRenderer>(options.width, options.height);
        } catch (const std::exception& error) {
            return fail(error.what());
        }
        try {
            renderer->init();
        } catch (const std::exception& error) {
            return fail(std::string(kConfigPath) + ": " + error.what());
        }

        // The captions: drawn with --captions, a subtitle stream in every video.
        std::unique_ptr<quorvane_engine::CueList> cues;
        std::unique_ptr<quorvane_engine::CaptionPainter> painter;
        if (options.captions || options.mode == CaptureOptions::Video) {
            try {
                cues = std::make_unique<quorvane_engine::CueList>(quorvane_engine::CueList::load(kCaptionsPath));
            } catch (const quorvane_engine::CueError& error) {
                if (options.captions)
                    return fail(std::string(error.what()) + " (the content build makes it)");
                std::fprintf(stderr, "quorvane-capture: warning: %s; the video has no subtitles\n", error.what());
            }
        }
        if (options.captions) {
            painter = std::make_unique<quorvane_engine::CaptionPainter>();
            if (!painter->ok())
                return fail(painter->error());
            renderer->setCaptions(cues.get(), painter.get());
        }

        const bool everyScene = options.mode == CaptureOptions::ContactSheet && !options.hasRange &&
                                options.times.empty();
        const FrameSchedule schedule =
            options.hasRange ? FrameSchedule::fromRange(options.from, options.to, options.fps)
                             : FrameSchedule::fromTimes(everyScene ? sceneMiddles(*renderer) : options.times);
        ProgressLine progress(stderr, static_cast<long long>(schedule.size()), !options.quiet && schedule.size() > 1);

        switch (options.mode) {
        case CaptureOptions::Frames:
            return writeFrames(*renderer, schedule, options, progress);
        case CaptureOptions::Video:
            return writeVideo(*renderer, schedule, options, cues.get(), progress);
        case CaptureOptions::ContactSheet:
            return writeSheet(*renderer, schedule, options, progress);
        }
    } catch (const std::exception& error) {
        return fail(std::string("rendering failed: ") + error.what());
    }
    return kFailure;
}
