#include "TestFiles.h"

#include <stb_image_write.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace fs = std::filesystem;

TempDir::TempDir()
{
    std::string pattern = (fs::temp_directory_path() / "quorvane-test-XXXXXX").string();
    if (!mkdtemp(&pattern[0]))
        throw std::runtime_error("cannot create a temporary folder");
    root = pattern;
}

TempDir::~TempDir()
{
    std::error_code ignored;
    fs::remove_all(root, ignored);
}

std::string TempDir::path(const std::string& name) const
{
    return root + "/" + name;
}

ScopedChdir::ScopedChdir(const std::string& dir)
    : previous(fs::current_path().string())
{
    fs::current_path(dir);
}

ScopedChdir::~ScopedChdir()
{
    std::error_code ignored;
    fs::current_path(previous, ignored);
}

std::string readFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

void writeFile(const std::string& path, const std::string& text)
{
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream file(path, std::ios::binary);
    file << text;
    if (!file)
        throw std::runtime_error("cannot write " + path);
}

void writeSolidPng(const std::string& path, int width, int height, int r, int g, int b, int a)
{
    std::vector<uint8_t> pixels(static_cast<size_t>(width) * height * 4);
    for (size_t i = 0; i < pixels.size(); i += 4) {
        pixels[i] = static_cast<uint8_t>(r);
        pixels[i + 1] = static_cast<uint8_t>(g);
        pixels[i + 2] = static_cast<uint8_t>(b);
        pixels[i + 3] = static_cast<uint8_t>(a);
    }
    writePng(path, width, height, 4, pixels);
}

void writePng(const std::string& path, int width, int height, int channels, const std::vector<uint8_t>& pixels)
{
    fs::create_directories(fs::path(path).parent_path());
    if (!stbi_write_png(path.c_str(), width, height, channels, pixels.data(), width * channels))
        throw std::runtime_error("cannot write " + path);
}

std::string sourceRoot()
{
    return QUORVANE_SOURCE_DIR;
}

bool writeToneOgg(const std::string& path, double seconds)
{
    const std::string command =
        "sox -q -n -r 44100 -c 2 '" + path + "' synth " + std::to_string(seconds) + " sine 440 vol 0.1";
    return std::system(command.c_str()) == 0;
}
