// A GL 4.1 core context on a hidden window, for drawing without a screen:
// tests, the capture tool and benchmarks. The show itself never uses it.
#pragma once

#include <string>

struct SDL_Window;

class OffscreenContext {
public:
    // Brings up SDL video, a hidden window, the context and GLEW. On failure
    // `ok()` is false and `error()` says why; nothing else is left set up.
    OffscreenContext();
    ~OffscreenContext();
    OffscreenContext(const OffscreenContext&) = delete;
    OffscreenContext& operator=(const OffscreenContext&) = delete;

    bool ok() const { return context != nullptr; }
    const std::string& error() const { return message; }

private:
    SDL_Window* window = nullptr;
    void* context = nullptr;
    std::string message;
};
