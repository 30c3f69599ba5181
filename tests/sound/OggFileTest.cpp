// The tools' Ogg Vorbis reader on chained streams, as a hostile or careless
// file may chain them: sox's tones, each with a serial number of its own.
#include "OggFile.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <stdexcept>

namespace {

// Half a second of a tone on `channels` channels at 44100 Hz; its bytes.
std::string tone(const TempDir& dir, const std::string& name, int channels)
{
    const std::string command = "sox -q -n -r 44100 -c " + std::to_string(channels) + " '" + dir.path(name)
        + "' synth 0.5 sine 330 vol 0.25";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    return readFile(dir.path(name));
}

} // namespace

TEST(OggFile, a_chained_stream_reads_whole_when_its_links_agree_and_is_refused_naming_the_link_that_does_not)
{
    TempDir dir;
    const std::string mono = tone(dir, "mono.ogg", 1);
    const std::string stereo = tone(dir, "stereo.ogg", 2);
    writeFile(dir.path("twice.ogg"), stereo + tone(dir, "again.ogg", 2));
    const Audio twice = readOgg(dir.path("twice.ogg"));
    EXPECT_EQ(twice.channels, 2);
    EXPECT_EQ(twice.frames(), 2u * 22050u);

    const struct {
        const char* name;
        std::string bytes;
        const char* message;
    } cases[] = {
        {"stereo-then-mono.ogg", stereo + mono,
            "stereo-then-mono.ogg: link 2 of the Ogg stream has 1 channel at 44100 Hz, where the first has 2 "
            "channels at 44100 Hz"},
        {"mono-then-stereo.ogg", mono + stereo,
            "mono-then-stereo.ogg: link 2 of the Ogg stream has 2 channels at 44100 Hz, where the first has 1 "
            "channel at 44100 Hz"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        writeFile(dir.path(c.name), c.bytes);
        try {
            readOgg(dir.path(c.name));
            ADD_FAILURE() << "read as one stream";
        } catch (const std::runtime_error& e) {
            EXPECT_EQ(e.what(), dir.path(c.message));
        }
    }
}
