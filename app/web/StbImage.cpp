// stb_image's decoder, compiled into the web build. (The desktop links the
// same code from Debian's libstb.)
#define STB_IMAGE_IMPLEMENTATION
#include <stb_image.h>
