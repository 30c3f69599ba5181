// quorvane: plays the show. Without options as made (full screen, Escape
// ends it, it ends with the music); with options as a player for the people
// who make it. `quorvane --help` tells how.
//
// data/ is read from the working directory, or else from the copy installed
// with the program (DataFolder).
//
// What cannot be set up is reported on stderr and ends the program with exit
// code 1; bad usage ends it with code 2. Stopped by a signal while it builds
// the content, it ends the build and then ends by that signal.

#include <SDL.h> // on Windows this makes main SDL2main's, which hands it UTF-8 arguments

#include <string>
#include <vector>

#include "DataFolder.h"
#include "Player.h"
#include "PlayerOptions.h"
#include "StopSignal.h"
#include "ToolMain.h"

int main(int argc, char** argv)
{
    const ToolMain tool("quorvane", PlayerOptions::helpText());
    const int code = tool.run(argc, argv, [](const std::vector<std::string>& arguments) {
        PlayerOptions options = PlayerOptions::parse(arguments);
        if (options.directory.empty())
            options.directory = DataFolder::find(DataFolder::programFolder());
        Player player(options);
        return player.run();
    });
    // Asked to stop by a signal, the player has ended what it started.
    StopSignal::endAsAsked();
    return code;
}
