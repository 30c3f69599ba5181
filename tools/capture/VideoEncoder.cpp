#include "VideoEncoder.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>

#include "RgbImage.h"
#include "SubtitleTrackFlags.h"

extern char** environ;

namespace {

// Room for a few raw frames in the pipe, so rendering and encoding overlap.
constexpr int kPipeBytes = 1 << 20;

std::string number(double value)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.9g", value);
    return text;
}

bool endsWith(const std::string& text, const std::string& end)
{
    if (text.size() < end.size())
        return false;
    for (std::size_t i = 0; i < end.size(); ++i) {
        char c = text[text.size() - end.size() + i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (c != end[i])
            return false;
    }
    return true;
}

} // namespace

std::string VideoEncoder::containerFor(const std::string& path)
{
    if (endsWith(path, ".webm"))
        return "webm";
    if (endsWith(path, ".mkv"))
        return "matroska";
    if (endsWith(path, ".mov"))
        return "mov";
    return "mp4";
}

std::vector<std::string> VideoEncoder::arguments(const Settings& settings)
{
    const std::string container = containerFor(settings.path);
    const bool webm = container == "webm";
    std::vector<std::string> args = {
        "ffmpeg", "-hide_banner", "-nostats", "-loglevel", "error", "-y",
        // The frames, exactly as rendered.
        "-f", "rawvideo", "-pixel_format", "rgb24",
        "-video_size", std::to_string(settings.width) + "x" + std::to_string(settings.height),
        "-framerate", number(settings.fps), "-i", "pipe:0"};
    // The music from the first frame's show time on. "file:" keeps ffmpeg
    // from reading a name as an option or a network address.
    std::string audioFilter = "apad";
    if (settings.from > 0.0) {
        args.insert(args.end(), {"-ss", number(settings.from)});
    } else if (settings.from < 0.0) {
        const long long delayMs = static_cast<long long>(-settings.from * 1000.0 + 0.5);
        audioFilter = "adelay=delays=" + std::to_string(delayMs) + ":all=1,apad";
    }
    args.insert(args.end(), {"-i", "file:" + settings.musicPath});
    const bool subtitles = !settings.subtitlesPath.empty();
    if (subtitles)
        args.insert(args.end(), {"-i", "file:" + settings.subtitlesPath});
    args.insert(args.end(), {"-map", "0:v:0", "-map", "1:a:0", "-af", audioFilter});
    if (subtitles) {
        const bool movText = container == "mp4" || container == "mov";
        args.insert(args.end(), {"-map", "2:s:0", "-c:s", movText ? "mov_text" : "webvtt", "-metadata:s:s:0",
                                 "language=eng", "-disposition:s:0", "0"});
        // Matroska and WebM otherwise mark the first stream of each kind as
        // the one to play.
        if (!movText)
            args.insert(args.end(), {"-default_mode", "infer_no_subs"});
    }
    if (webm)
        args.insert(args.end(), {"-c:v", "libvpx-vp9", "-crf", std::to_string(settings.crf), "-b:v", "0", "-row-mt",
                                 "1", "-pix_fmt", "yuv420p", "-c:a", "libopus", "-b:a", "160k"});
    else
        args.insert(args.end(), {"-c:v", "libx264", "-preset", "medium", "-crf", std::to_string(settings.crf),
                                 "-pix_fmt", "yuv420p", "-c:a", "aac", "-b:a", "192k"});
    if (container == "mp4" || container == "mov")
        args.insert(args.end(), {"-movflags", "+faststart"});
    // The music is padded without end; the frames decide the length.
    args.insert(args.end(), {"-t", number(static_cast<double>(settings.frames) / settings.fps), "-f", container,
                             "file:" + settings.path});
    return args;
}

VideoEncoder::~VideoEncoder()
{
    stop();
}

bool VideoEncoder::start(const Settings& settings, std::string& error)
{
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0) {
        error = std::string("cannot make a pipe for ffmpeg: ") + std::strerror(errno);
        return false;
    }
    fcntl(ends[1], F_SETPIPE_SZ, kPipeBytes);
    // A failed ffmpeg shows as EPIPE on write, not as a signal that ends us.
    std::signal(SIGPIPE, SIG_IGN);

    const std::vector<std::string> args = arguments(settings);
    std::vector<char*> argv;
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, ends[0], STDIN_FILENO);
    const int status = posix_spawnp(&child, "ffmpeg", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(ends[0]);
    if (status != 0) {
        ::close(ends[1]);
        child = -1;
        error = std::string("cannot run ffmpeg: ") + std::strerror(status) + " (it comes in the Debian package ffmpeg)";
        return false;
    }
    pipe = ends[1];
    const std::string container = containerFor(settings.path);
    if (!settings.subtitlesPath.empty() && (container == "mp4" || container == "mov"))
        subtitleTrackFile = settings.path;
    return true;
}

bool VideoEncoder::write(const RgbImage& frame, std::string& error)
{
    const uint8_t* data = frame.pixels.data();
    std::size_t left = frame.pixels.size();
    while (left > 0) {
        const ssize_t written = ::write(pipe, data, left);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            error = errno == EPIPE ? std::string("ffmpeg stopped taking frames")
                                   : std::string("cannot send a frame to ffmpeg: ") + std::strerror(errno);
            return false;
        }
        data += written;
        left -= static_cast<std::size_t>(written);
    }
    return true;
}

bool VideoEncoder::finish(std::string& error)
{
    if (pipe >= 0) {
        ::close(pipe);
        pipe = -1;
    }
    int status = 0;
    pid_t waited;
    do {
        waited = ::waitpid(child, &status, 0);
    } while (waited < 0 && errno == EINTR);
    child = -1;
    if (waited < 0) {
        error = std::string("cannot wait for ffmpeg: ") + std::strerror(errno);
        return false;
    }
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0)
        return subtitleTrackFile.empty() || SubtitleTrackFlags::leaveOff(subtitleTrackFile, error);
    if (WIFEXITED(status))
        error = "ffmpeg failed with exit status " + std::to_string(WEXITSTATUS(status));
    else
        error = "ffmpeg was ended by signal " + std::to_string(WTERMSIG(status));
    return false;
}

void VideoEncoder::stop()
{
    if (child < 0)
        return;
    // Closing its input lets ffmpeg end on its own; nothing is left running.
    std::string ignored;
    finish(ignored);
}
