#include "PlayerOptions.h"

#include "ArgumentReader.h"
#include "PlayerKeys.h"
#include "UsageError.h"

namespace {

// "WxH", each side from 1 to kMaxSide.
void readSize(const std::string& text, int& width, int& height)
{
    const size_t x = text.find('x');
    if (x == std::string::npos)
        throw UsageError("--window wants a size such as 1280x720, not \"" + text + "\"");
    width = ArgumentReader::integer("--window width", text.substr(0, x), 1, PlayerOptions::kMaxSide);
    height = ArgumentReader::integer("--window height", text.substr(x + 1), 1, PlayerOptions::kMaxSide);
}

} // namespace

PlayerOptions PlayerOptions::parse(const std::vector<std::string>& arguments)
{
    PlayerOptions options;
    bool windowGiven = false;
    ArgumentReader args(arguments);
    while (args.next()) {
        if (args.isOption("--window")) {
            windowGiven = true;
            if (args.hasAttachedValue())
                readSize(args.value(), options.width, options.height);
        } else if (args.isFlag("--fullscreen")) {
            options.fullscreen = true;
        } else if (args.isOption("--start")) {
            options.start = args.value();
            if (options.start.empty())
                throw UsageError("--start needs a time, a scene's class name or its number");
        } else if (args.isFlag("--paused")) {
            options.paused = true;
        } else if (args.isFlag("--mute")) {
            options.mute = true;
        } else if (args.isFlag("--loop")) {
            options.loop = true;
        } else if (args.isFlag("--edit")) {
            options.edit = true;
        } else if (args.isFlag("--print-time")) {
            options.printTime = true;
        } else if (args.isFlag("--captions")) {
            options.captions = true;
        } else if (args.isOption("-C")) {
            options.directory = args.value();
        } else if (args.isOption("--build")) {
            options.buildDir = args.value();
            if (options.buildDir.empty())
                throw UsageError("--build needs a CMake build folder");
            options.edit = true;
        } else {
            throw UsageError("unexpected argument \"" + args.operand() + "\"");
        }
    }
    if (windowGiven && options.fullscreen)
        throw UsageError("give either --window or --fullscreen, not both");
    options.window = windowGiven || (options.edit && !options.fullscreen);
    return options;
}

bool PlayerOptions::playsAsMade() const
{
    return !window && !fullscreen && start.empty() && !paused && !mute && !loop && !edit && !printTime && !captions;
}

std::string PlayerOptions::helpText()
{
    return std::string("usage: quorvane [options]\n"
           "Plays the show. Without options: full screen, Escape ends it, it ends with the music.\n"
           "\n"
           "  --window[=WxH]   play in a resizable window (default 1280x720); closing it ends the show\n"
           "  --fullscreen     play full screen (the default; keeps --edit full screen)\n"
           "  --start T        start at show time T: seconds (a bare number), a scene's class name\n"
           "                   (PartyScene) or its number with # (#1 to #13); the music starts there too\n"
           "  --paused         start paused (Space resumes with --edit)\n"
           "  --mute           play without sound; the show keeps time by the clock\n"
           "  --loop           start again at 0 when the show ends\n"
           "  --edit           the maker's keys, the overlay and live reload of data/;\n"
           "                   implies --window unless --fullscreen is given\n"
           "  --build DIR      with --edit (implied): when a file under content/ changes, run the\n"
           "                   content build of the CMake build folder DIR; the player reloads\n"
           "                   what it writes into data/\n"
           "  --print-time     print the show time on stdout at every seek, pause and resume\n"
           "  --captions       show the captions (data/captions.vtt) over the picture\n"
           "  -C DIR           play the show in DIR (which holds data/); without it, data/ of the\n"
           "                   working directory, else the data installed with the program\n"
           "  -h, --help       show this help and exit\n"
           "  --version        show the version and exit\n"
           "\n"
           "Keys with --edit:\n")
        + PlayerKeys::help()
        + "\n"
          "Exit status: 0 when the show ended, 1 on a failure, 2 on bad usage.\n";
}
