#include "SoundServer.h"

#include <pulse/pulseaudio.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fcntl.h>
#include <fstream>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr auto kPatience = std::chrono::seconds(10);

// Loads the null sink into the server at `socket` through libpulse (PipeWire
// takes it this way; PulseAudio gets it on its command line). True when the
// server took it.
bool loadNullSink(const std::string& socket)
{
    pa_mainloop* loop = pa_mainloop_new();
    pa_context* context = pa_context_new(pa_mainloop_get_api(loop), "quorvane-heard setup");
    bool loaded = false;
    if (pa_context_connect(context, socket.c_str(), PA_CONTEXT_NOAUTOSPAWN, nullptr) == 0) {
        while (pa_context_get_state(context) != PA_CONTEXT_READY && PA_CONTEXT_IS_GOOD(pa_context_get_state(context)))
            pa_mainloop_iterate(loop, 1, nullptr);
        if (pa_context_get_state(context) == PA_CONTEXT_READY) {
            const std::string arguments = std::string("sink_name=") + SoundServer::kSink + " rate=44100";
            pa_operation* load = pa_context_load_module(context, "module-null-sink", arguments.c_str(),
                [](pa_context*, uint32_t index, void* done) { *static_cast<bool*>(done) = index != PA_INVALID_INDEX; },
                &loaded);
            while (load && pa_operation_get_state(load) == PA_OPERATION_RUNNING)
                pa_mainloop_iterate(loop, 1, nullptr);
            if (load)
                pa_operation_unref(load);
        }
    }
    pa_context_disconnect(context);
    pa_context_unref(context);
    pa_mainloop_free(loop);
    return loaded;
}

// The end of the server's log, for a message: ": " and its last lines.
std::string lastLines(const std::string& path)
{
    std::ifstream file(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);)
        lines.push_back(line);
    std::string text;
    for (size_t i = lines.size() > 3 ? lines.size() - 3 : 0; i < lines.size(); ++i)
        text += (text.empty() ? ": " : " / ") + lines[i];
    return text;
}

} // namespace

SoundServer::Kind SoundServer::kindNamed(const std::string& name)
{
    if (name == "pulseaudio")
        return Kind::PulseAudio;
    if (name == "pipewire")
        return Kind::PipeWire;
    throw std::invalid_argument("no sound server named \"" + name + "\" (pulseaudio or pipewire)");
}

SoundServer::SoundServer(Kind kind)
{
    std::string pattern = (fs::temp_directory_path() / "quorvane-sound-XXXXXX").string();
    if (!mkdtemp(&pattern[0]))
        throw std::runtime_error("cannot create a folder for the sound server");
    folder = pattern;
    const std::string socket = folder + "/native";
    const std::string program = kind == Kind::PulseAudio ? "pulseaudio" : "pipewire";

    std::vector<std::string> command;
    if (kind == Kind::PulseAudio) {
        command = {"pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=no",
            "--log-level=error", "-L", std::string("module-null-sink sink_name=") + kSink + " rate=44100", "-L",
            "module-native-protocol-unix auth-anonymous=1 socket=" + socket};
    } else {
        // The session manager links streams to the sink and wants a bus.
        command = {"dbus-run-session", "--", "sh", "-c",
            "pipewire & sleep 0.5; wireplumber & pipewire-pulse & wait"};
    }
    // Everything the child needs is made before the fork: this process has
    // threads, and the child only calls exec.
    std::vector<std::string> environment = {"HOME=" + folder, "XDG_RUNTIME_DIR=" + folder, "PULSE_RUNTIME_PATH=" + folder};
    for (char** variable = environ; *variable; ++variable) {
        const std::string text = *variable;
        const std::string name = text.substr(0, text.find('='));
        if (name != "HOME" && name != "XDG_RUNTIME_DIR" && name != "PULSE_RUNTIME_PATH" && name != "PULSE_SERVER")
            environment.push_back(text);
    }
    std::vector<char*> argv;
    for (std::string& word : command)
        argv.push_back(&word[0]);
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (std::string& variable : environment)
        envp.push_back(&variable[0]);
    envp.push_back(nullptr);
    // The server's own messages go to a log, shown only when it fails.
    const std::string log = folder + "/server.log";
    const int logFile = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    group = fork();
    if (group < 0)
        throw std::runtime_error("cannot start " + program);
    if (group == 0) {
        setpgid(0, 0);
        if (logFile >= 0) {
            dup2(logFile, STDOUT_FILENO);
            dup2(logFile, STDERR_FILENO);
        }
        execvpe(argv[0], argv.data(), envp.data());
        _exit(127);
    }
    if (logFile >= 0)
        close(logFile);
    setpgid(group, group);

    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    bool ready = false;
    while (!ready && std::chrono::steady_clock::now() < deadline) {
        int status = 0;
        if (waitpid(group, &status, WNOHANG) == group) {
            group = -1;
            const std::string said = lastLines(log);
            end();
            throw std::runtime_error(program + " did not start (is it installed? tools/setup-debian --tests)" + said);
        }
        if (fs::exists(socket))
            ready = kind == Kind::PulseAudio || loadNullSink("unix:" + socket);
        if (!ready)
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    if (!ready) {
        const std::string said = lastLines(log);
        end();
        throw std::runtime_error(program + " did not answer on " + socket + said);
    }
    setenv("PULSE_SERVER", ("unix:" + socket).c_str(), 1);
    setenv("PIPEWIRE_RUNTIME_DIR", folder.c_str(), 1);
}

SoundServer::~SoundServer()
{
    unsetenv("PULSE_SERVER");
    unsetenv("PIPEWIRE_RUNTIME_DIR");
    end();
}

void SoundServer::end()
{
    if (group > 0) {
        kill(-group, SIGTERM);
        int status = 0;
        waitpid(group, &status, 0);
        // What the shell started may outlive it for a moment.
        kill(-group, SIGKILL);
        group = -1;
    }
    std::error_code ignored;
    fs::remove_all(folder, ignored);
}
