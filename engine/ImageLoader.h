// Decodes a list of image files on worker threads, a bounded number ahead
// of the caller, who takes them in list order. Only the decoding runs on the
// workers; whatever the caller does with an image (GL uploads) stays on the
// caller's thread.
#pragma once

#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "Image.h"

class ImageLoader {
public:
    // Most images decoded ahead of the caller.
    static constexpr size_t kLookahead = 16;

    // Starts decoding `paths` on `workers` threads (0: one per core). Where
    // the platform has no threads, take() decodes each image itself.
    explicit ImageLoader(std::vector<std::string> paths, unsigned workers = 0);
    // Waits for the workers, dropping images not taken.
    ~ImageLoader();
    ImageLoader(const ImageLoader&) = delete;
    ImageLoader& operator=(const ImageLoader&) = delete;

    // The image of paths[index], waiting for it if need be. Each index is
    // taken once, in increasing order.
    Image take(size_t index);

    // Starts decoding the images that the resource list at `configPath`
    // names, before anything else of the program is ready (a start-up
    // shortcut: the window and GL context come up meanwhile).
    static void prefetch(const std::string& configPath);
    // The loader that prefetch started for `configPath`, if it decodes
    // exactly `paths`; otherwise null (a stale prefetch is dropped).
    static std::unique_ptr<ImageLoader> takePrefetched(
        const std::string& configPath, const std::vector<std::string>& paths);

private:
    void work();

    std::vector<std::string> paths;
    std::vector<Image> images;
    std::vector<char> done;
    size_t next = 0;  // next index a worker claims
    size_t taken = 0; // images handed out so far
    size_t lookahead; // most images decoded but not yet taken
    bool stopping = false;
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::thread> threads;
};
