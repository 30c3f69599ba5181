#include "ArtImage.h"

#include <stb_image.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "TestFiles.h"
#include "engine/ConfigLine.h"

ArtImage loadArtImage(const std::string& path)
{
    ArtImage image;
    int channels = 0;
    unsigned char* pixels = stbi_load(path.c_str(), &image.width, &image.height, &channels, 4);
    if (!pixels) {
        image.width = image.height = 0;
        return image;
    }
    image.rgba.assign(pixels, pixels + size_t(image.width) * image.height * 4);
    stbi_image_free(pixels);
    return image;
}

ArtImage loadTexture(const std::string& name)
{
    for (const auto& [textureName, path] : configuredTextures())
        if (textureName == name)
            return loadArtImage(sourceRoot() + "/" + path);
    return ArtImage();
}

std::vector<std::pair<std::string, std::string>> configuredTextures()
{
    std::vector<std::pair<std::string, std::string>> textures;
    std::ifstream in(sourceRoot() + "/data/config.txt");
    std::string line;
    while (std::getline(in, line)) {
        const ConfigLine parsed = ConfigLine::parse(line);
        if (parsed.kind == ConfigLine::Texture)
            textures.emplace_back(parsed.name, parsed.first);
    }
    return textures;
}

std::vector<bool> opaqueInterior(const ArtImage& image, int margin)
{
    // Summed-area table of opaque texels, then one box test per texel.
    const int w = image.width;
    const int h = image.height;
    std::vector<int> sum(size_t(w + 1) * (h + 1), 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            sum[size_t(y + 1) * (w + 1) + x + 1] = (image.opaque(x, y) ? 1 : 0) + sum[size_t(y) * (w + 1) + x + 1]
                                                 + sum[size_t(y + 1) * (w + 1) + x] - sum[size_t(y) * (w + 1) + x];
    std::vector<bool> inside(size_t(w) * h, false);
    const int side = 2 * margin + 1;
    for (int y = margin; y < h - margin; ++y)
        for (int x = margin; x < w - margin; ++x) {
            const int x0 = x - margin, y0 = y - margin, x1 = x + margin + 1, y1 = y + margin + 1;
            const int count = sum[size_t(y1) * (w + 1) + x1] - sum[size_t(y0) * (w + 1) + x1]
                            - sum[size_t(y1) * (w + 1) + x0] + sum[size_t(y0) * (w + 1) + x0];
            inside[size_t(y) * w + x] = count == side * side;
        }
    return inside;
}

int runCommand(const std::string& command, std::string& errorText)
{
    TempDir dir;
    const std::string errorPath = dir.path("stderr.txt");
    const int status = std::system((command + " >/dev/null 2>" + errorPath).c_str());
    std::ifstream in(errorPath);
    std::stringstream text;
    text << in.rdbuf();
    errorText = text.str();
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
