#include "ProgressLine.h"

#include <unistd.h>

#include <cmath>

namespace {

constexpr double kTerminalInterval = 0.25; // seconds between rewrites on a terminal
constexpr double kLogInterval = 5.0;       // seconds between lines in a log

// "4:31" or "1:04:31".
std::string clock(double seconds)
{
    const long long whole = static_cast<long long>(std::ceil(seconds));
    char text[48];
    if (whole >= 3600)
        std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", whole / 3600, whole / 60 % 60, whole % 60);
    else
        std::snprintf(text, sizeof text, "%lld:%02lld", whole / 60, whole % 60);
    return text;
}

double secondsBetween(std::chrono::steady_clock::time_point from, std::chrono::steady_clock::time_point to)
{
    return std::chrono::duration<double>(to - from).count();
}

} // namespace

ProgressLine::ProgressLine(std::FILE* out, long long total, bool enabled)
    : out(out), total(total), enabled(enabled), terminal(isatty(fileno(out)) != 0),
      started(std::chrono::steady_clock::now()), lastShown(started)
{
}

std::string ProgressLine::describe(long long done, long long total, double elapsedSeconds)
{
    std::string text = std::to_string(done) + "/" + std::to_string(total) + " frames";
    if (done > 0 && elapsedSeconds > 0.0) {
        const double rate = done / elapsedSeconds;
        char fps[32];
        std::snprintf(fps, sizeof fps, "%.1f", rate);
        text += std::string(", ") + fps + " fps, " + clock((total - done) / rate) + " left";
    } else {
        text += ", -- fps, -- left";
    }
    return text;
}

void ProgressLine::frameDone()
{
    ++done;
    if (!enabled)
        return;
    const auto now = std::chrono::steady_clock::now();
    if (secondsBetween(lastShown, now) >= (terminal ? kTerminalInterval : kLogInterval)) {
        lastShown = now;
        show(false);
    }
}

void ProgressLine::finish()
{
    if (enabled)
        show(true);
}

void ProgressLine::show(bool last)
{
    const std::string text =
        "quorvane-capture: " + describe(done, total, secondsBetween(started, std::chrono::steady_clock::now()));
    if (terminal) {
        // Blank out what a longer previous line left behind.
        const std::size_t pad = lastLength > text.size() ? lastLength - text.size() : 0;
        std::fprintf(out, "\r%s%*s%s", text.c_str(), static_cast<int>(pad), "", last ? "\n" : "");
        lastLength = text.size();
    } else {
        std::fprintf(out, "%s\n", text.c_str());
    }
    std::fflush(out);
}
