// Decoded images of data/ for the art tests: which texels are opaque, and
// the resource list's texture names and paths.
#pragma once

#include <string>
#include <utility>
#include <vector>

struct ArtImage {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgba; // rows top first, as stb_image gives them

    int alpha(int x, int y) const { return rgba[(size_t(y) * width + x) * 4 + 3]; }
    // Whether the texel would be drawn: the sprite shader discards alpha 0.
    bool opaque(int x, int y) const { return alpha(x, y) > 0; }
};

// Decodes `path` with stb_image into RGBA; width and height stay 0 on failure.
ArtImage loadArtImage(const std::string& path);

// The image of texture `name` as the resource list names it, under the
// source root.
ArtImage loadTexture(const std::string& name);

// (name, path) of every "Texture" line of data/config.txt, in file order.
std::vector<std::pair<std::string, std::string>> configuredTextures();

// The texels of `image` that lie at least `margin` texels inside its opaque
// area (a square of side 2 * margin + 1 around them is all opaque).
std::vector<bool> opaqueInterior(const ArtImage& image, int margin);

// Runs a shell command; gives its exit status and its standard error text.
int runCommand(const std::string& command, std::string& errorText);
