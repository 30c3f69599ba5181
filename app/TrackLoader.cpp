#include "TrackLoader.h"

#include <chrono>

TrackLoader::TrackLoader(std::string path)
    : path(std::move(path))
{
}

TrackLoader::~TrackLoader()
{
    if (reading.valid())
        reading.wait();
}

void TrackLoader::start()
{
    if (reading.valid()) {
        again = true;
        return;
    }
    reading = std::async(std::launch::async, [path = path] {
        Result result;
        result.track = MusicTrack::load(path, result.error);
        return result;
    });
}

bool TrackLoader::finished(Result& result)
{
    if (!reading.valid() || reading.wait_for(std::chrono::seconds(0)) != std::future_status::ready)
        return false;
    Result read = reading.get();
    if (again) {
        again = false;
        start();
        return false;
    }
    result = std::move(read);
    return true;
}
