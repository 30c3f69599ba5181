/* Loaded into the real quorvane with LD_PRELOAD by the player's tests: says on
 * standard error when GL objects are deleted with no GL context current (after
 * the window and its context went), then hands the call on to GL. Watches
 * glDeleteTextures, which the program calls straight into libGL. */
#define _GNU_SOURCE
#include <GL/glx.h>
#include <dlfcn.h>
#include <stdio.h>

void glDeleteTextures(GLsizei count, const GLuint* textures)
{
    static void (*deleteTextures)(GLsizei, const GLuint*) = NULL;
    if (!deleteTextures)
        *(void**)&deleteTextures = dlsym(RTLD_NEXT, "glDeleteTextures");
    if (!glXGetCurrentContext())
        fprintf(stderr, "gl-context-check: glDeleteTextures with no GL context current\n");
    if (deleteTextures)
        deleteTextures(count, textures);
}
