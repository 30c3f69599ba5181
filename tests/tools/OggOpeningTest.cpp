// ogg-opening, which cuts the music's opening for the web page: the cut
// decodes to the track's own first samples, and files that are no Ogg Vorbis
// track, or one cut short, are refused by name.
#include "TestFiles.h"
#include "ToolRun.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

const std::string kTool = std::string(QUORVANE_PYTHON) + " " + sourceRoot() + "/tools/ogg-opening";

// What `command` prints on standard output.
std::string outputOf(const std::string& command)
{
    std::string out;
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    char buffer[4096];
    size_t n = 0;
    while (pipe && (n = fread(buffer, 1, sizeof buffer, pipe.get())) > 0)
        out.append(buffer, n);
    return out;
}

// One Ogg page of one packet `body` (checksum left 0: the tool does not read
// it) at granule position `granule`; `continued` leaves its packet open
// (its body a whole number of 255-byte segments).
std::string page(int64_t granule, const std::string& body, bool continued = false)
{
    std::string out = "OggS";
    out += '\0';
    out += '\0';
    for (int i = 0; i < 8; ++i)
        out += static_cast<char>((static_cast<uint64_t>(granule) >> (8 * i)) & 0xFF);
    out += std::string(12, '\0');
    std::vector<uint8_t> lacing(body.size() / 255, 255);
    if (!continued)
        lacing.push_back(static_cast<uint8_t>(body.size() % 255));
    out += static_cast<char>(lacing.size());
    for (const uint8_t value : lacing)
        out += static_cast<char>(value);
    return out + body;
}

// A Vorbis identification header at `rate` samples a second.
std::string vorbisHeader(uint32_t rate)
{
    std::string out = "\x01vorbis";
    out += std::string(4, '\0') + '\x02';
    for (int i = 0; i < 4; ++i)
        out += static_cast<char>((rate >> (8 * i)) & 0xFF);
    return out + std::string(15, '\0');
}

TEST(OggOpening, the_opening_decodes_to_the_tracks_first_samples)
{
    TempDir dir;
    ASSERT_TRUE(writeToneOgg(dir.path("track.ogg"), 40.0));
    const std::string out = outputOf(kTool + " --seconds 30 " + dir.path("track.ogg") + " " + dir.path("opening.ogg"));
    double opening = 0;
    double track = 0;
    ASSERT_EQ(sscanf(out.c_str(), "%lf %lf", &opening, &track), 2) << out;
    EXPECT_GE(opening, 30.0);
    EXPECT_LT(opening, 31.0);
    EXPECT_NEAR(track, 40.0, 0.01);
    const std::string decode = "sox -q -V1 ";
    const std::string cut = outputOf(decode + dir.path("opening.ogg") + " -t f32 -");
    const std::string whole = outputOf(decode + dir.path("track.ogg") + " -t f32 -");
    ASSERT_EQ(cut.size(), static_cast<size_t>(opening * 44100 + 0.5) * 2 * sizeof(float));
    EXPECT_TRUE(whole.compare(0, cut.size(), cut) == 0) << "the opening's samples differ from the track's";
}

TEST(OggOpening, cuts_after_the_first_page_that_ends_a_packet_past_the_length_and_ends_the_stream_there)
{
    TempDir dir;
    const std::string body(300, 'a');
    const std::string open(510, 'b');
    const std::string pages[] = {page(0, vorbisHeader(100)), page(1000, body), page(3100, open, true), page(3200, body),
                                 page(4000, body)};
    std::string track;
    for (const std::string& each : pages)
        track += each;
    writeFile(dir.path("track.ogg"), track);
    EXPECT_EQ(outputOf(kTool + " " + dir.path("track.ogg") + " " + dir.path("opening.ogg")), "32.000000 40.000000\n");
    const std::string opening = readFile(dir.path("opening.ogg"));
    const size_t kept = pages[0].size() + pages[1].size() + pages[2].size() + pages[3].size();
    ASSERT_EQ(opening.size(), kept);
    EXPECT_EQ(opening[kept - pages[3].size() + 5], '\x04') << "the last page does not end the stream";
    EXPECT_NE(opening.substr(kept - pages[3].size() + 22, 4), std::string(4, '\0')) << "no checksum";
}

TEST(OggOpening, refuses_what_is_no_ogg_vorbis_track_naming_the_file)
{
    const std::string audio(100, 'a');
    const struct {
        const char* name;
        std::string bytes;
        const char* says;
    } cases[] = {
        {"empty", "", "empty"},
        {"not Ogg", "RIFF....WAVEfmt ", "no Ogg page at byte 0"},
        {"a page cut short", page(0, vorbisHeader(44100)).substr(0, 40), "the Ogg page at byte 0 is cut short"},
        {"garbage after a page", page(0, vorbisHeader(44100)) + "junk", "no Ogg page at byte 59"},
        {"not Vorbis", page(0, std::string(30, 'x')), "not an Ogg Vorbis stream"},
        {"a rate of 0", page(0, vorbisHeader(0)), "its sample rate is 0"},
        {"too short", page(0, vorbisHeader(44100)) + page(44100, audio), "shorter than 30 s"},
        {"no packet ends past the length", page(0, vorbisHeader(10)) + page(400, std::string(255, 'a'), true),
         "shorter than 30 s"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        writeFile(dir.path("track.ogg"), c.bytes);
        const ToolRun run = runTool({QUORVANE_PYTHON, sourceRoot() + "/tools/ogg-opening", dir.path("track.ogg"),
                                     dir.path("opening.ogg")});
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_EQ(run.errors, "ogg-opening: " + dir.path("track.ogg") + ": " + c.says + "\n");
        EXPECT_TRUE(readFile(dir.path("opening.ogg")).empty()) << "an opening was written";
    }
}

} // namespace
