// Decodes a list of image files on worker threads, a bounded number ahead
// of the caller, who takes them in list order. Only the decoding runs on the
// workers; whatever the caller does with an image (GL uploads) stays on the
// caller's thread.
#pragma once

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "Image.h"

class ImageLoader {
public:
    // Starts decoding `paths` on `workers` threads (0: one per core).
    explicit ImageLoader(std::vector<std::string> paths, unsigned workers = 0);
    // Waits for the workers, dropping images not taken.
    ~ImageLoader();
    ImageLoader(const ImageLoader&) = delete;
    ImageLoader& operator=(const ImageLoader&) = delete;

    // The image of paths[index], waiting for it if need be. Each index is
    // taken once, in increasing order.
    Image take(size_t index);

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
