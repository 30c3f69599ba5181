#include "Player.h"

#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <functional>
#include <stdexcept>
#include <string>

#include "ContentReloader.h"
#include "MakersSession.h"
#include "MusicTrack.h"
#include "PlayerWindow.h"
#include "ShowAsMade.h"
#include "SourceBuilder.h"
#include "StopSignal.h"
#include "engine/ImageLoader.h"
#include "show/MyDemo.h"
#include "show/ShowFiles.h"

Player::Player(const PlayerOptions& options)
    : options(options)
{
}

Player::~Player() = default;

int Player::run()
{
    // A build folder is given relative to where the player started.
    std::string buildDir = options.buildDir;
    if (!buildDir.empty() && buildDir[0] != '/') {
        char here[PATH_MAX];
        if (getcwd(here, sizeof here))
            buildDir = std::string(here) + "/" + buildDir;
    }
    if (!options.directory.empty() && chdir(options.directory.c_str()) != 0)
        throw std::runtime_error("-C " + options.directory + ": " + std::strerror(errno));
    if (!buildDir.empty()) {
        builder = std::make_unique<SourceBuilder>("content", SourceBuilder::checkBuildFolder(buildDir, "."));
        // Ctrl+C and kill end the loop, so that the build ends with the player.
        StopSignal::catchStops();
    }
    setUp();

    // Either player draws one frame a turn and says when that was its last;
    // whatever else ends the show joins the condition of this one loop.
    std::unique_ptr<ShowAsMade> asMade;
    std::unique_ptr<MakersSession> session;
    std::function<bool()> frame;
    if (options.playsAsMade()) {
        asMade = std::make_unique<ShowAsMade>(*window, *show, *track, silent);
        frame = [&] { return asMade->frame(); };
    } else {
        session = std::make_unique<MakersSession>(
            options, *window, *show, std::move(track), std::move(reloader), std::move(builder), silent);
        frame = [&] { return session->frame(); };
    }
    while (frame() && !StopSignal::requested()) {
    }
    return 0;
}

void Player::setUp()
{
    // What the show reads is watched from before it is read, so that a
    // save during start-up is seen.
    if (options.edit)
        reloader = std::make_unique<ContentReloader>(MyDemo::kConfigPath);
    // Decoding the images takes longest of all start-up work: begin it on
    // worker threads now, while SDL, the window and the GL context come up.
    // The resource manager picks the images up in its usual order.
    ImageLoader::prefetch(MyDemo::kConfigPath);

    window = std::make_unique<PlayerWindow>(options);
    std::string error;
    track = MusicTrack::load(ShowFiles::kMusic, error);
    if (!track)
        throw std::runtime_error(std::string(ShowFiles::kMusic) + ": " + error);
    silent = options.mute || window->audioIsSilent();

    int width = 0;
    int height = 0;
    window->size(width, height);
    // The viewport GL gives a new context is the window's size at that
    // moment, which may be before the window reached full-screen size (as on
    // an X server without a window manager); cover the whole window instead.
    window->fitViewport();

    show = new MyDemo(width, height);
    try {
        show->init();
    } catch (const std::exception& error) {
        throw std::runtime_error(std::string(MyDemo::kConfigPath) + ": " + error.what());
    }
}
