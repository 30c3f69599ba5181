// Turns a sequence of frames into a video file with the music under it, by
// running ffmpeg as a child process and writing raw RGB frames to its
// standard input. ffmpeg's own messages go to our standard error.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

class RgbImage;

class VideoEncoder {
public:
    struct Settings {
        std::string path;      // the video file to write
        std::string musicPath; // the show's music; the range's stretch of it is muxed in
        int width = 0;
        int height = 0;
        double fps = 0.0;
        double from = 0.0;     // show time of the first frame
        long long frames = 0;  // how many frames will be written
        int crf = 18;
        std::string subtitlesPath; // WebVTT cues timed from the first frame; empty: no subtitle stream
    };

    // The ffmpeg container format for a file name: WebM, Matroska or
    // QuickTime by the ending .webm, .mkv or .mov, MP4 for any other.
    static std::string containerFor(const std::string& path);

    // The ffmpeg command line for `settings`, program name first. The video
    // lasts frames / fps seconds; the music starts at show time `from`
    // (delayed when `from` is negative) and is padded with silence past its
    // end. WebM gets VP9 and Opus, the other containers H.264 and AAC. The
    // subtitles, when given, become an English subtitle stream that players
    // leave off until the viewer chooses it: mov_text in MP4 and QuickTime,
    // WebVTT in WebM and Matroska.
    static std::vector<std::string> arguments(const Settings& settings);

    VideoEncoder() = default;
    // Stops ffmpeg if it is still running (the file is then incomplete).
    ~VideoEncoder();
    VideoEncoder(const VideoEncoder&) = delete;
    VideoEncoder& operator=(const VideoEncoder&) = delete;

    // Starts ffmpeg. False with the reason in `error` when it cannot run.
    bool start(const Settings& settings, std::string& error);
    // Sends one frame of the size given to start. False with the reason when
    // ffmpeg no longer takes frames (it has failed and said why).
    bool write(const RgbImage& frame, std::string& error);
    // Ends the input and waits for ffmpeg. True when it finished the file
    // (with an MP4 or QuickTime subtitle track set off, SubtitleTrackFlags).
    bool finish(std::string& error);

private:
    void stop();

    pid_t child = -1;
    int pipe = -1;
    std::string subtitleTrackFile; // the video, when its subtitle track is to be set off
};
