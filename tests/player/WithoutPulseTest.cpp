// The show built on a machine without libpulse: the program configured
// with -DQUORVANE_PULSE=OFF from this source tree (a build folder of its
// own beside this one's), linked without libpulse, playing a short test show
// as made and in the maker's player, on SDL's dummy audio driver and through
// a PulseAudio server it cannot ask.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <thread>

#include "AppProcess.h"
#include "SoundServer.h"
#include "TestShow.h"

namespace {

const std::string kFolder = QUORVANE_WITHOUT_PULSE_DIR;
const std::string kProgram = kFolder + "/quorvane";

// Configures and builds the program without libpulse, once per run, as
// this build is configured otherwise; its messages in without-pulse.log.
bool builtWithoutPulse()
{
    static const bool built = [] {
        const std::string log = kFolder + ".log";
        const std::string configure = std::string("cmake -S " QUORVANE_SOURCE_DIR " -B ") + kFolder
            + " -DQUORVANE_PULSE=OFF -DQUORVANE_TESTS=OFF -DQUORVANE_CONTENT=OFF"
              " -DQUORVANE_WERROR=" QUORVANE_WERROR " -DCMAKE_BUILD_TYPE=" QUORVANE_BUILD_TYPE
              " -DCMAKE_CXX_COMPILER_LAUNCHER=" QUORVANE_LAUNCHER " -DCMAKE_C_COMPILER_LAUNCHER=" QUORVANE_LAUNCHER;
        return shell(configure + " >" + log + " 2>&1 && cmake --build " + kFolder + " --target quorvane --parallel "
            + std::to_string(std::max(1u, std::thread::hardware_concurrency())) + " >>" + log + " 2>&1");
    }();
    return built;
}

// What `command` prints on standard error, with its exit code in `code`.
std::string errorsOf(const TestShow& show, const std::string& command, int& code)
{
    const std::string err = show.path("errors.txt");
    const int status = std::system((command + " >/dev/null 2>" + err).c_str());
    code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return readFile(err);
}

} // namespace

TEST(WithoutPulse, the_show_builds_without_libpulse_and_plays_as_made_and_in_the_makers_player)
{
    ASSERT_TRUE(haveDisplay()) << "needs an X display";
    ASSERT_TRUE(builtWithoutPulse()) << readFile(kFolder + ".log");
    EXPECT_NE(readFile(kFolder + "/CMakeCache.txt").find("QUORVANE_PULSE:BOOL=OFF"), std::string::npos);
    const std::string needed = output("readelf -d " + kProgram + " | grep NEEDED");
    EXPECT_NE(needed.find("libSDL2"), std::string::npos) << needed;
    EXPECT_EQ(needed.find("libpulse"), std::string::npos) << needed;

    TestShow show;
    writeMusic(show, 2.0);
    const struct {
        const char* how;
        const char* options;
    } runs[] = {
        {"as made", ""},
        {"in the maker's player", " --window=320x180 --edit"},
    };
    for (const auto& run : runs) {
        SCOPED_TRACE(run.how);
        int code = -1;
        const std::string errors = errorsOf(show, "SDL_AUDIODRIVER=dummy timeout 60 " + kProgram + run.options, code);
        EXPECT_EQ(code, 0) << errors;
        EXPECT_EQ(errors.find("quorvane: the sound server"), std::string::npos) << errors;
    }

    // Through a sound server, the maker's player says that it cannot ask
    // where the server plays, and plays on.
    const SoundServer server(SoundServer::Kind::PulseAudio);
    int code = -1;
    const std::string errors
        = errorsOf(show, "SDL_AUDIODRIVER=pulseaudio timeout 60 " + kProgram + " --window=320x180 --edit", code);
    EXPECT_EQ(code, 0) << errors;
    EXPECT_NE(errors.find("quorvane: the sound server's latency is not available in this build"), std::string::npos)
        << errors;
}
