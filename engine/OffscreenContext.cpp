#include "OffscreenContext.h"

#include <GL/glew.h>
#include <SDL.h>

OffscreenContext::OffscreenContext()
{
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        message = std::string("cannot start SDL video: ") + SDL_GetError();
        return;
    }
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 4);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 1);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    window = SDL_CreateWindow("Quorvane offscreen", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, 16, 16,
        SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (!window) {
        message = std::string("cannot create a window: ") + SDL_GetError();
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return;
    }
    SDL_GLContext created = SDL_GL_CreateContext(window);
    if (!created) {
        message = std::string("cannot create an OpenGL 4.1 core context: ") + SDL_GetError();
        SDL_DestroyWindow(window);
        window = nullptr;
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return;
    }
    glewExperimental = GL_TRUE;
    // A context that is not GLX's (EGL, as SDL may choose) leaves GLEW
    // without a GLX display; the GL entry points are loaded all the same.
    const GLenum status = glewInit();
    if (status != GLEW_OK && status != GLEW_ERROR_NO_GLX_DISPLAY) {
        message = std::string("cannot load OpenGL entry points: ")
            + reinterpret_cast<const char*>(glewGetErrorString(status));
        SDL_GL_DeleteContext(created);
        SDL_DestroyWindow(window);
        window = nullptr;
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return;
    }
    // GLEW probes a legacy enum on core contexts; drop the error it leaves.
    while (glGetError() != GL_NO_ERROR) { }
    context = created;
}

OffscreenContext::~OffscreenContext()
{
    if (context)
        SDL_GL_DeleteContext(context);
    if (window)
        SDL_DestroyWindow(window);
    if (context)
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
}
