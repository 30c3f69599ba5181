// quorvane-bench: start-up, frame cost and memory of the show, each next to
// the floor it cannot beat, measured side by side in one run.
//
//   quorvane-bench startup [--runs N]         time to first frame vs floor
//   quorvane-bench frames [--size WxH] [--frames N]
//                                             per-scene frame times vs a bare
//                                             backdrop; texture bytes, memory
//   quorvane-bench backdrop [--size WxH] [--frames N]
//                                             the backdrop pass vs the cheapest
//                                             fills from a texture
//   quorvane-bench party [--frames N]         the busiest scene only (for
//                                             callgrind)
//   quorvane-bench captions [--size WxH] [--frames N]
//                                             the busiest scene with and
//                                             without its longest caption
//
// Run it in the repository root (it reads data/ like the show) on an X
// display (xvfb-run here).
#include <GL/glew.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <memory>
#include <new>
#include <string>
#include <thread>
#include <vector>

#include "AllocationCounter.h"
#include "ArgumentReader.h"
#include "ToolMain.h"
#include "UsageError.h"
#include "engine/CaptionPainter.h"
#include "engine/ConfigLine.h"
#include "engine/CueList.h"
#include "engine/Framebuffer.h"
#include "engine/Image.h"
#include "engine/Mat4.h"
#include "engine/OffscreenContext.h"
#include "engine/Quad.h"
#include "engine/Scene.h"
#include "engine/SceneLabel.h"
#include "engine/ShaderNames.h"
#include "engine/ShaderProgram.h"
#include "engine/Texture.h"
#include "show/Backdrop.h"
#include "show/MyDemo.h"
#include "show/ShowFiles.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

// The busiest moment of the show: the party's blood spray.
constexpr double kBusiestMoment = 269.3;

double seconds(Clock::duration d)
{
    return std::chrono::duration<double>(d).count();
}

double monotonicNow()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec + now.tv_nsec * 1e-9;
}

// CPU time of the whole process (every thread, llvmpipe's included), in
// seconds: steadier than the wall clock on a machine shared with others.
double processCpuNow()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return now.tv_sec + now.tv_nsec * 1e-9;
}

double percentile(std::vector<double> values, double p)
{
    if (values.empty())
        return 0.0;
    std::sort(values.begin(), values.end());
    const size_t at = std::min(values.size() - 1, static_cast<size_t>(p * (values.size() - 1) + 0.5));
    return values[at];
}

long peakRssKb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

std::vector<ConfigLine> readConfig()
{
    std::ifstream file(ShowFiles::kConfig, std::ios::binary);
    if (!file) {
        std::fprintf(stderr, "quorvane-bench: %s: cannot open (run in the repository root)\n", ShowFiles::kConfig);
        std::exit(1);
    }
    return ConfigLine::readList(file);
}

// Time to first frame of the real program: process start to the first
// buffer swap, seen by a preloaded probe. Also its peak resident memory.
double timeToFirstFrame(const std::string& binary, const std::string& probe, long* peakKb)
{
    const std::string stamp = "/tmp/quorvane-bench-first-frame";
    std::remove(stamp.c_str());
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e)
        env.push_back(*e);
    env.push_back("LD_PRELOAD=" + probe);
    env.push_back("QUORVANE_PROBE_FILE=" + stamp);
    env.push_back("SDL_AUDIODRIVER=dummy");
    std::vector<char*> envp;
    for (std::string& e : env)
        envp.push_back(&e[0]);
    envp.push_back(nullptr);
    std::string program = binary;
    char* argv[] = {&program[0], nullptr};

    const double start = monotonicNow();
    pid_t pid = 0;
    if (posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv, envp.data()) != 0)
        return -1.0;
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    *peakKb = usage.ru_maxrss;
    std::ifstream in(stamp);
    double swapped = 0.0;
    if (!(in >> swapped))
        return -1.0;
    return swapped - start;
}

// The floor of start-up: every configured image read and decoded on all
// cores, and the three programs compiled.
double startupFloor(const std::vector<ConfigLine>& config)
{
    std::vector<std::string> paths;
    for (const ConfigLine& line : config) {
        if (line.kind == ConfigLine::Texture)
            paths.push_back(line.first);
    }
    const auto start = Clock::now();
    std::atomic<size_t> next{0};
    std::vector<std::thread> workers;
    for (unsigned i = 0; i < std::max(1u, std::thread::hardware_concurrency()); ++i) {
        workers.emplace_back([&] {
            for (size_t at = next++; at < paths.size(); at = next++)
                Image::load(paths[at]);
        });
    }
    for (std::thread& worker : workers)
        worker.join();
    const double decode = seconds(Clock::now() - start);

    const auto compileStart = Clock::now();
    for (const ConfigLine& line : config) {
        if (line.kind != ConfigLine::Shader)
            continue;
        ShaderProgram program;
        program.addShader(line.first.c_str(), GL_FRAGMENT_SHADER);
        program.addShader(line.second.c_str(), GL_VERTEX_SHADER);
        program.link();
        glFinish();
    }
    return decode + seconds(Clock::now() - compileStart);
}

// A bare GL context in a fresh process, as the show makes its own: process
// start to exit of `quorvane-bench context`, which only brings one up.
double contextTime(const std::string& self)
{
    std::string program = self;
    std::string mode = "context";
    char* argv[] = {&program[0], &mode[0], nullptr};
    const double start = monotonicNow();
    pid_t pid = 0;
    if (posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv, environ) != 0)
        return -1.0;
    int status = 0;
    waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return -1.0;
    return monotonicNow() - start;
}

// Uploading every configured image, decoded beforehand, as the show does:
// seconds, and the bytes uploaded.
double uploadTime(const std::vector<ConfigLine>& config, long long* bytes)
{
    std::vector<std::string> paths;
    for (const ConfigLine& line : config) {
        if (line.kind == ConfigLine::Texture)
            paths.push_back(line.first);
    }
    std::vector<Image> images(paths.size());
    for (size_t i = 0; i < paths.size(); ++i)
        images[i] = Image::load(paths[i]);
    glFinish();
    *bytes = 0;
    std::vector<GLuint> names;
    const auto start = Clock::now();
    for (size_t i = 0; i < paths.size(); ++i) {
        const Texture texture(paths[i].c_str(), images[i]);
        names.push_back(texture.id);
        *bytes += 4LL * texture.width * texture.height;
    }
    glFinish();
    const double elapsed = seconds(Clock::now() - start);
    glDeleteTextures(static_cast<GLsizei>(names.size()), names.data());
    return elapsed;
}

int benchStartup(int runs, const std::string& binary, const std::string& probe, const std::string& self)
{
    const std::vector<ConfigLine> config = readConfig();
    OffscreenContext context;
    if (!context.ok()) {
        std::fprintf(stderr, "quorvane-bench: %s\n", context.error().c_str());
        return 1;
    }
    std::vector<double> first, floor, contexts, uploads;
    long peakKb = 0;
    long long uploadBytes = 0;
    for (int run = 0; run < runs; ++run) {
        long kb = 0;
        const double t = timeToFirstFrame(binary, probe, &kb);
        if (t < 0) {
            std::fprintf(stderr, "quorvane-bench: quorvane did not reach its first frame\n");
            return 1;
        }
        first.push_back(t);
        // The smallest: a spawned child's peak can count the memory of this
        // process at the spawn, which the upload timing below raises.
        peakKb = run == 0 ? kb : std::min(peakKb, kb);
        floor.push_back(startupFloor(config));
        contexts.push_back(contextTime(self));
        uploads.push_back(uploadTime(config, &uploadBytes));
        std::fprintf(stderr, "\rstartup: run %d of %d", run + 1, runs);
    }
    std::fprintf(stderr, "\n");
    const double medianFirst = percentile(first, 0.5);
    const double medianFloor = percentile(floor, 0.5);
    const double medianContext = percentile(contexts, 0.5);
    std::printf("time to first frame   median %7.1f ms   floor %7.1f ms   ratio %.2f   (%d runs)\n", medianFirst * 1e3,
        medianFloor * 1e3, medianFirst / medianFloor, runs);
    std::printf("  floor: decoding every image on all cores and compiling the programs\n");
    std::printf("a bare GL context in a fresh process: %.1f ms; with the floor %.1f ms; ratio %.2f\n",
        medianContext * 1e3, (medianContext + medianFloor) * 1e3, medianFirst / (medianContext + medianFloor));
    std::printf("uploading every texture: %.1f ms for %lld bytes\n", percentile(uploads, 0.5) * 1e3, uploadBytes);
    std::printf("peak resident memory of quorvane at its first frame: %.1f MB\n", peakKb / 1024.0);
    return 0;
}

// Builds the program the resource list names `name`, as the show does.
void buildConfiguredProgram(ShaderProgram& program, const char* name)
{
    for (const ConfigLine& line : readConfig()) {
        if (line.kind == ConfigLine::Shader && line.name == name) {
            program.addShader(line.first.c_str(), GL_FRAGMENT_SHADER);
            program.addShader(line.second.c_str(), GL_VERTEX_SHADER);
            program.link();
            return;
        }
    }
    std::fprintf(stderr, "quorvane-bench: %s: no shader program named \"%s\"\n", ShowFiles::kConfig, name);
    std::exit(1);
}

// The floor of a frame: a scene that draws only its backdrop, cleared and
// drawn as every scene draws it.
class BareBackdrop {
public:
    explicit BareBackdrop(ShaderProgram* program)
        : program(program)
    {
        for (const ConfigLine& line : readConfig()) {
            if (line.kind != ConfigLine::Texture)
                continue;
            const Texture texture(line.first.c_str());
            if (texture.width >= 1280) {
                picture = texture.id;
                return;
            }
        }
        std::fprintf(stderr, "quorvane-bench: %s: needs a backdrop\n", ShowFiles::kConfig);
        std::exit(1);
    }

    void draw() { drawBackdrop(program, quad, picture); }

    GLuint picture = 0;

private:
    ShaderProgram* program;
    Quad quad;
};

// Bytes of every texture made through Texture (as uploaded: RGBA8).
long long textureBytes()
{
    long long bytes = 0;
    GLuint misses = 0;
    for (GLuint id = 1; misses < 64; ++id) {
        const Texture* texture = Texture::find(id);
        misses = texture ? 0 : misses + 1;
        if (texture)
            bytes += 4LL * texture->width * texture->height;
    }
    return bytes;
}

// The show built to draw into an offscreen framebuffer of `width` x
// `height`, as the measurements draw it; `ok` is false, and it was said why,
// when it cannot be.
struct OffscreenShow {
    OffscreenContext context;
    std::unique_ptr<Framebuffer> target;
    std::unique_ptr<MyDemo> demo;
    bool ok = false;

    OffscreenShow(int width, int height)
    {
        if (!context.ok()) {
            std::fprintf(stderr, "quorvane-bench: %s\n", context.error().c_str());
            return;
        }
        target = std::make_unique<Framebuffer>(width, height);
        demo = std::make_unique<MyDemo>(width, height);
        try {
            demo->init();
        } catch (const std::exception& error) {
            std::fprintf(stderr, "quorvane-bench: %s: %s\n", ShowFiles::kConfig, error.what());
            return;
        }
        ok = true;
    }
};

// Renders `frames` frames of each scene, each followed by the floor, and
// prints medians side by side.
int benchFrames(int width, int height, int frames)
{
    OffscreenShow show(width, height);
    if (!show.ok)
        return 1;
    MyDemo& demo = *show.demo;
    const long long showTextureBytes = textureBytes();
    ShaderProgram backdropProgram;
    buildConfiguredProgram(backdropProgram, ProgramName::kDefault);
    BareBackdrop floor(&backdropProgram);
    glFinish();

    std::printf("frame times at %dx%d, %d frames per scene (ms); floor: a scene that draws only its backdrop\n",
        width, height, frames);
    std::printf("%-20s %8s %8s %8s %8s %7s %7s   %8s %8s %7s\n", "scene", "median", "p99", "floor", "fl.p99", "ratio",
        "fps", "cpu", "fl.cpu", "ratio");
    long framesAfterFirst = 0;
    long allocationsAfterFirst = 0;
    double worstRatio = 0.0;
    double worstCpuRatio = 0.0;
    for (quorvane_engine::Scene* scene : demo.scenes) {
        const std::string name = SceneLabel::className(*scene);
        // Consecutive frames at 60 per second from the middle of the scene,
        // as the show would draw them (the party from its busiest moment,
        // the blood spray).
        double start = (scene->startTime + scene->endTime) / 2;
        if (name == "PartyScene")
            start = kBusiestMoment;
        std::vector<double> times, floors, cpu, floorCpu;
        for (int i = 0; i < frames; ++i) {
            const double t = std::min(start + i / 60.0, scene->endTime - 1e-3);
            glFinish();
            const long before = allocationsSoFar();
            const double cpuBegin = processCpuNow();
            const auto begin = Clock::now();
            demo.render(t);
            glFinish();
            const auto end = Clock::now();
            const double cpuEnd = processCpuNow();
            const long allocated = allocationsSoFar() - before;
            cpu.push_back((cpuEnd - cpuBegin) * 1e3);
            times.push_back(seconds(end - begin) * 1e3);
            if (i > 0) {
                allocationsAfterFirst += allocated;
                ++framesAfterFirst;
            }
            const double floorCpuBegin = processCpuNow();
            const auto floorBegin = Clock::now();
            floor.draw();
            glFinish();
            floors.push_back(seconds(Clock::now() - floorBegin) * 1e3);
            floorCpu.push_back((processCpuNow() - floorCpuBegin) * 1e3);
        }
        const double median = percentile(times, 0.5);
        const double floorMedian = percentile(floors, 0.5);
        const double cpuRatio = percentile(cpu, 0.5) / percentile(floorCpu, 0.5);
        worstRatio = std::max(worstRatio, median / floorMedian);
        worstCpuRatio = std::max(worstCpuRatio, cpuRatio);
        std::printf("%-20s %8.2f %8.2f %8.2f %8.2f %7.2f %7.0f   %8.2f %8.2f %7.2f\n", name.c_str(), median,
            percentile(times, 0.99), floorMedian, percentile(floors, 0.99), median / floorMedian, 1000.0 / median,
            percentile(cpu, 0.5), percentile(floorCpu, 0.5), cpuRatio);
    }
    std::printf("largest ratio to the bare backdrop: %.2f (wall clock), %.2f (CPU time of all threads)\n", worstRatio,
        worstCpuRatio);
    std::printf("heap allocations in frames after each scene's first: %ld in %ld frames\n", allocationsAfterFirst,
        framesAfterFirst);
    std::printf("texture memory of the show: %lld bytes\n", showTextureBytes);
    std::printf("peak resident memory: %.1f MB\n", peakRssKb() / 1024.0);
    return 0;
}

// The backdrop pass against the cheapest ways llvmpipe fills the screen
// from a texture, each timed `frames` times in turn.
int benchBackdrop(int width, int height, int frames)
{
    OffscreenContext context;
    if (!context.ok()) {
        std::fprintf(stderr, "quorvane-bench: %s\n", context.error().c_str());
        return 1;
    }
    Framebuffer target(width, height);
    MyDemo demo(width, height); // the show's GL state
    ShaderProgram program;
    buildConfiguredProgram(program, ProgramName::kDefault);
    BareBackdrop backdrop(&program);
    Quad quad;
    GLuint source = 0;
    glGenFramebuffers(1, &source);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, source);
    glFramebufferTexture2D(GL_READ_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, backdrop.picture, 0);
    target.bind();
    const Texture* picture = Texture::find(backdrop.picture);

    struct Way {
        const char* what;
        std::function<void()> draw;
        std::vector<double> times;
    };
    std::vector<Way> ways;
    ways.push_back({"the show's backdrop pass (clear, drawBackdrop)", [&] { backdrop.draw(); }, {}});
    ways.push_back({"clear, textured quad, blending on, depth test on", [&] {
                        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
                        program.use();
                        program.bindTexture(UniformName::kSampler, backdrop.picture);
                        quad.draw();
                    }, {}});
    ways.push_back({"clear, textured quad, blending off, depth test on", [&] {
                        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
                        glDisable(GL_BLEND);
                        program.use();
                        program.bindTexture(UniformName::kSampler, backdrop.picture);
                        quad.draw();
                        glEnable(GL_BLEND);
                    }, {}});
    // The picture drawn opaque without the depth test, after clearing `clear`.
    auto unblendedQuad = [&](GLbitfield clear) {
        if (clear)
            glClear(clear);
        glDisable(GL_BLEND);
        glDisable(GL_DEPTH_TEST);
        program.use();
        program.bindTexture(UniformName::kSampler, backdrop.picture);
        quad.draw();
        glEnable(GL_DEPTH_TEST);
        glEnable(GL_BLEND);
    };
    ways.push_back({"clear, textured quad, blending off, no depth test",
        [&] { unblendedQuad(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT); }, {}});
    ways.push_back({"clear depth only, textured quad, blending off, no depth test",
        [&] { unblendedQuad(GL_DEPTH_BUFFER_BIT); }, {}});
    ways.push_back({"textured quad, blending off, no depth test, no clear", [&] { unblendedQuad(0); }, {}});
    ways.push_back({"clear depth only, glBlitFramebuffer of the texture, linear", [&] {
                        glClear(GL_DEPTH_BUFFER_BIT);
                        glBindFramebuffer(GL_READ_FRAMEBUFFER, source);
                        glBlitFramebuffer(0, 0, picture->width, picture->height, 0, height, width, 0,
                            GL_COLOR_BUFFER_BIT, GL_LINEAR);
                        target.bind();
                    }, {}});
    ways.push_back({"clear only", [&] { glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT); }, {}});
    for (Way& way : ways) // the driver's code for each, built once
        way.draw();
    glFinish();
    for (int i = 0; i < frames; ++i) {
        for (Way& way : ways) {
            const auto begin = Clock::now();
            way.draw();
            glFinish();
            way.times.push_back(seconds(Clock::now() - begin) * 1e3);
        }
    }
    std::printf("filling %dx%d from a %dx%d picture, %d times each (ms, median)\n", width, height, picture->width,
        picture->height, frames);
    const double show = percentile(ways[0].times, 0.5);
    for (const Way& way : ways)
        std::printf("%8.2f  %5.2f of the show's  %s\n", percentile(way.times, 0.5), percentile(way.times, 0.5) / show,
            way.what);
    glDeleteFramebuffers(1, &source);
    return 0;
}

int benchParty(int frames)
{
    OffscreenShow show(1280, 720);
    if (!show.ok)
        return 1;
    for (int i = 0; i < frames; ++i)
        show.demo->render(kBusiestMoment + i / 60.0);
    glFinish();
    std::printf("rendered %d party frames\n", frames);
    return 0;
}

// The busiest scene (the party at the blood spray) drawn with and without
// the longest caption of the show, alternately, frame by frame; and what
// setting each cue costs the one frame in which it first shows.
int benchCaptions(int width, int height, int frames)
{
    OffscreenShow show(width, height);
    if (!show.ok)
        return 1;
    MyDemo& demo = *show.demo;
    quorvane_engine::CueList cues;
    try {
        cues = quorvane_engine::CueList::load(ShowFiles::kCaptions);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "quorvane-bench: %s\n", error.what());
        return 1;
    }
    quorvane_engine::CaptionPainter painter;
    if (!painter.ok() || cues.cues.empty()) {
        std::fprintf(stderr, "quorvane-bench: %s\n", painter.ok() ? "no cues" : painter.error().c_str());
        return 1;
    }
    const quorvane_engine::Cue* longest = &cues.cues[0];
    const auto length = [](const quorvane_engine::Cue& cue) {
        size_t characters = 0;
        for (const std::string& line : cue.lines)
            characters += line.size();
        return characters;
    };
    for (const quorvane_engine::Cue& cue : cues.cues)
        if (length(cue) > length(*longest))
            longest = &cue;

    // Setting every cue once (each draws into the frame the cue first shows in).
    std::vector<double> setting;
    for (const quorvane_engine::Cue& cue : cues.cues) {
        glFinish();
        const auto begin = Clock::now();
        painter.draw(&cue, width, height);
        glFinish();
        setting.push_back(seconds(Clock::now() - begin) * 1e3);
    }

    std::vector<double> plain, captioned, plainCpu, captionedCpu, alone;
    long allocations = 0;
    for (int i = 0; i < frames; ++i) {
        const double t = kBusiestMoment + i / 60.0;
        for (int pass = 0; pass < 2; ++pass) {
            const bool caption = (pass == 0) == (i % 2 == 0); // alternate which goes first
            glFinish();
            const long before = allocationsSoFar();
            const double cpuBegin = processCpuNow();
            const auto begin = Clock::now();
            demo.render(t);
            if (caption)
                painter.draw(longest, width, height);
            glFinish();
            const auto end = Clock::now();
            const double cpuEnd = processCpuNow();
            if (caption && i > 0)
                allocations += allocationsSoFar() - before;
            (caption ? captioned : plain).push_back(seconds(end - begin) * 1e3);
            (caption ? captionedCpu : plainCpu).push_back((cpuEnd - cpuBegin) * 1e3);
            if (!caption) {
                // The caption alone, drawn over the finished frame.
                const auto from = Clock::now();
                painter.draw(longest, width, height);
                glFinish();
                alone.push_back(seconds(Clock::now() - from) * 1e3);
            }
        }
    }
    const double without = percentile(plain, 0.5), with = percentile(captioned, 0.5);
    std::printf("the party at %dx%d, %d frames each, with and without \"%s\" (ms)\n", width, height, frames,
        longest->lines[0].c_str());
    std::printf("%-16s %8s %8s %8s\n", "", "median", "p99", "cpu");
    std::printf("%-16s %8.2f %8.2f %8.2f\n", "without captions", without, percentile(plain, 0.99),
        percentile(plainCpu, 0.5));
    std::printf("%-16s %8.2f %8.2f %8.2f\n", "with captions", with, percentile(captioned, 0.99),
        percentile(captionedCpu, 0.5));
    std::printf("with / without: %.3f (wall clock), %.3f (CPU time of all threads)\n", with / without,
        percentile(captionedCpu, 0.5) / percentile(plainCpu, 0.5));
    std::printf("the caption's draw alone, after the frame: %.3f ms, %.1f %% of the frame without it\n",
        percentile(alone, 0.5), 100.0 * percentile(alone, 0.5) / without);
    std::printf("setting a cue when it first shows: median %.2f ms, largest %.2f ms (%zu cues)\n",
        percentile(setting, 0.5), percentile(setting, 1.0), setting.size());
    std::printf("heap allocations in captioned frames after the first: %ld\n", allocations);
    return 0;
}

const char* const kHelp =
    "usage: quorvane-bench startup [--runs N] [--binary QUORVANE] [--probe LIB]\n"
    "       quorvane-bench frames [--size WxH] [--frames N]\n"
    "       quorvane-bench backdrop [--size WxH] [--frames N]\n"
    "       quorvane-bench party [--frames N]\n"
    "       quorvane-bench captions [--size WxH] [--frames N]\n"
    "\n"
    "  -h, --help  this text\n"
    "  --version   the version\n"
    "\n"
    "Exit codes: 0 measured, 1 failure, 2 bad usage.\n";

// Reads the command line and runs the measurement it names.
int bench(const std::vector<std::string>& arguments)
{
    std::string mode;
    int runs = 9, frames = 120, width = 1920, height = 1080;
    std::string probe = QUORVANE_PROBE;
    std::string binary = QUORVANE_BINARY;
    for (ArgumentReader args(arguments); args.next();) {
        if (args.isOption("--runs"))
            runs = ArgumentReader::integer("--runs", args.value(), 1, 1000);
        else if (args.isOption("--frames"))
            frames = ArgumentReader::integer("--frames", args.value(), 2, 1000000);
        else if (args.isOption("--probe"))
            probe = args.value();
        else if (args.isOption("--binary"))
            binary = args.value();
        else if (args.isOption("--size")) {
            const std::string size = args.value();
            const size_t x = size.find('x');
            if (x == std::string::npos)
                throw UsageError("--size wants WIDTHxHEIGHT, not \"" + size + "\"");
            width = ArgumentReader::integer("--size", size.substr(0, x), 1, 16384);
            height = ArgumentReader::integer("--size", size.substr(x + 1), 1, 16384);
        } else if (mode.empty())
            mode = args.operand();
        else
            throw UsageError("unexpected argument \"" + args.operand() + "\"");
    }
    if (mode == "startup")
        return benchStartup(runs, binary, probe, "/proc/self/exe");
    if (mode == "context") {
        const OffscreenContext context;
        return context.ok() ? 0 : 1;
    }
    if (mode == "frames")
        return benchFrames(width, height, frames);
    if (mode == "backdrop")
        return benchBackdrop(width, height, frames);
    if (mode == "party")
        return benchParty(frames);
    if (mode == "captions")
        return benchCaptions(width, height, frames);
    throw UsageError(mode.empty() ? "needs a measurement: startup, frames, backdrop, party or captions"
                                  : "no measurement named \"" + mode + "\"");
}

} // namespace

int main(int argc, char** argv)
{
    return ToolMain("quorvane-bench", kHelp).run(argc, argv, bench);
}
