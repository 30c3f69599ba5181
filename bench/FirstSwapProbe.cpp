// Preloaded into quorvane by the start-up benchmark: at the first buffer
// swap it records the monotonic clock in the file that QUORVANE_PROBE_FILE
// names, lets the swap happen, and ends the process. The show itself is
// not changed.
#include <SDL.h>
#include <dlfcn.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

extern "C" void SDL_GL_SwapWindow(SDL_Window* window)
{
    using Swap = void (*)(SDL_Window*);
    static Swap real = reinterpret_cast<Swap>(dlsym(RTLD_NEXT, "SDL_GL_SwapWindow"));
    real(window);
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    if (const char* path = std::getenv("QUORVANE_PROBE_FILE")) {
        if (FILE* file = std::fopen(path, "w")) {
            std::fprintf(file, "%ld.%09ld\n", static_cast<long>(now.tv_sec), now.tv_nsec);
            std::fclose(file);
        }
    }
    _exit(0);
}
