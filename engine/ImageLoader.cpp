#include "ImageLoader.h"

#include <algorithm>
#include <exception>
#include <fstream>
#include <new>

#include "ConfigLine.h"

namespace {

// A browser page without pthreads (which would need special server
// headers) has no threads to start: there the images are decoded in order,
// each when the caller takes it.
#if defined(__EMSCRIPTEN__) && !defined(__EMSCRIPTEN_PTHREADS__)
constexpr bool kHasThreads = false;
#else
constexpr bool kHasThreads = true;
#endif

// Image::load, with a failure that throws (out of memory) turned into a
// failed image like any other, so that it reaches the caller as a warning.
Image loadImage(const std::string& path)
{
    try {
        return Image::load(path);
    } catch (const std::bad_alloc&) {
        Image image;
        image.error = "out of memory";
        return image;
    } catch (const std::exception& error) {
        Image image;
        image.error = error.what();
        return image;
    }
}

// The one prefetch of the process, and the resource list it read.
std::unique_ptr<ImageLoader> prefetched;
std::string prefetchedConfig;

} // namespace

ImageLoader::ImageLoader(std::vector<std::string> paths, unsigned workers)
    : paths(std::move(paths))
    , images(this->paths.size())
    , done(this->paths.size(), 0)
{
    if (workers == 0)
        workers = std::max(1u, std::thread::hardware_concurrency());
    workers = static_cast<unsigned>(std::min<size_t>(workers, this->paths.size()));
    // Enough decoded images to keep the workers busy while the caller is
    // still bringing up its window and GL context (measured: sixteen start
    // up as fast as no limit at all), few enough that the decoded pixels of
    // a whole show never sit in memory at once.
    lookahead = kLookahead;
    if (!kHasThreads)
        workers = 0;
    // A thread that cannot be started (std::system_error) leaves fewer
    // workers; with none, take() decodes on the caller's thread.
    try {
        for (unsigned i = 0; i < workers; ++i)
            threads.emplace_back(&ImageLoader::work, this);
    } catch (const std::exception&) {
    }
}

ImageLoader::~ImageLoader()
{
    {
        std::lock_guard<std::mutex> lock(mutex);
        stopping = true;
    }
    changed.notify_all();
    for (std::thread& thread : threads)
        thread.join();
}

void ImageLoader::work()
{
    std::unique_lock<std::mutex> lock(mutex);
    while (true) {
        changed.wait(lock, [this] { return stopping || (next < paths.size() && next < taken + lookahead); });
        if (stopping)
            return;
        const size_t index = next++;
        lock.unlock();
        Image image = loadImage(paths[index]);
        lock.lock();
        images[index] = std::move(image);
        done[index] = 1;
        changed.notify_all();
    }
}

Image ImageLoader::take(size_t index)
{
    std::unique_lock<std::mutex> lock(mutex);
    if (threads.empty()) {
        lock.unlock();
        return loadImage(paths[index]);
    }
    // Let the workers run ahead of this index even if earlier ones were
    // skipped.
    taken = std::max(taken, index);
    changed.notify_all();
    changed.wait(lock, [this, index] { return done[index] != 0; });
    Image image = std::move(images[index]);
    taken = std::max(taken, index + 1);
    changed.notify_all();
    return image;
}

void ImageLoader::prefetch(const std::string& configPath)
{
    std::ifstream file(configPath, std::ios::binary);
    std::vector<std::string> paths;
    for (const ConfigLine& line : ConfigLine::readList(file)) {
        if (line.kind == ConfigLine::Texture)
            paths.push_back(line.first);
    }
    prefetched = std::make_unique<ImageLoader>(std::move(paths));
    prefetchedConfig = configPath;
}

std::unique_ptr<ImageLoader> ImageLoader::takePrefetched(
    const std::string& configPath, const std::vector<std::string>& paths)
{
    std::unique_ptr<ImageLoader> loader = std::move(prefetched);
    if (loader && (configPath != prefetchedConfig || loader->paths != paths))
        loader.reset();
    return loader;
}
