#include "AppProcess.h"

#include <signal.h>
#include <stb_image.h>
#include <sys/wait.h>
#include <unistd.h>
#include <X11/Xlib.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <thread>

using Clock = std::chrono::steady_clock;

AppProcess AppProcess::start(const TestShow& show, const std::vector<std::string>& arguments,
    const std::vector<std::string>& environment, bool withDisplay)
{
    AppProcess run;
    run.outPath = show.path("stdout.txt");
    run.errPath = show.path("stderr.txt");
    run.pid = fork();
    if (run.pid == 0) {
        FILE* err = freopen(run.errPath.c_str(), "w", stderr);
        FILE* out = freopen(run.outPath.c_str(), "w", stdout);
        (void)err;
        (void)out;
        for (const std::string& setting : environment)
            putenv(const_cast<char*>(setting.c_str()));
        if (!withDisplay)
            unsetenv("DISPLAY");
        std::vector<char*> argv{const_cast<char*>(QUORVANE_BINARY)};
        for (const std::string& argument : arguments)
            argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        execv(QUORVANE_BINARY, argv.data());
        _exit(127);
    }
    return run;
}

int AppProcess::waitFor(std::chrono::seconds limit) const
{
    const auto deadline = Clock::now() + limit;
    while (Clock::now() < deadline) {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid)
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    return -1;
}

std::string AppProcess::out() const
{
    return readFile(outPath);
}

std::string AppProcess::err() const
{
    return readFile(errPath);
}

bool shell(const std::string& command)
{
    return std::system(command.c_str()) == 0;
}

std::string output(const std::string& command)
{
    std::string text;
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    if (!pipe)
        return text;
    std::array<char, 4096> buffer;
    size_t read = 0;
    while ((read = fread(buffer.data(), 1, buffer.size(), pipe.get())) > 0)
        text.append(buffer.data(), read);
    return text;
}

void writeMusic(const TestShow& show, double seconds)
{
    ASSERT_TRUE(writeToneOgg(show.path("data/duskwalk.ogg"), seconds));
}

bool windowAppears(std::chrono::seconds limit)
{
    const auto deadline = Clock::now() + limit;
    while (Clock::now() < deadline) {
        if (shell("xdotool search --onlyvisible --name '^Quorvane$' >/dev/null 2>&1"))
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return false;
}

std::vector<uint8_t> screenshot(const TestShow& show, bool wholeScreen, int& width, int& height)
{
    const std::string file = show.path("screen.png");
    std::string window = "root";
    if (!wholeScreen) {
        window = output("xdotool search --onlyvisible --name '^Quorvane$' 2>/dev/null | head -n 1");
        while (!window.empty() && (window.back() == '\n' || window.back() == ' '))
            window.pop_back();
    }
    if (window.empty() || !shell("import -window " + window + " " + file + " 2>/dev/null"))
        return {};
    int channels = 0;
    unsigned char* pixels = stbi_load(file.c_str(), &width, &height, &channels, 4);
    if (!pixels)
        return {};
    std::vector<uint8_t> rows(pixels, pixels + static_cast<size_t>(width) * height * 4);
    stbi_image_free(pixels);
    return rows;
}

bool haveDisplay()
{
    return std::getenv("DISPLAY") != nullptr;
}

bool requestWindowClose()
{
    std::string id = output("xdotool search --onlyvisible --name '^Quorvane$' 2>/dev/null | head -n 1");
    if (id.empty())
        return false;
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return false;
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = static_cast<Window>(std::stoul(id));
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    const bool sent = XSendEvent(display, event.xclient.window, False, NoEventMask, &event) != 0;
    XCloseDisplay(display);
    return sent;
}

bool within(const std::function<std::string()>& what, const std::string& text, std::chrono::seconds limit, int times)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (true) {
        const std::string now = what();
        int found = 0;
        for (size_t at = now.find(text); at != std::string::npos; at = now.find(text, at + 1))
            ++found;
        if (found >= times)
            return true;
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}
