// make-captions run as the content build runs it: what it leaves in the
// captions file's place when it cannot write.
#include "TestFiles.h"
#include "ToolRun.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

namespace {

const char* const kScreenplay = "cast harlan harlan.dialog rms 100 100\n"
                                "name harlan Harlan\n"
                                "scene home 5.417 30.998 harlan\n"
                                "10.000 harlan: Good evening.\n";
const char* const kLineTable = "10.000\t11.200\tharlan\tharlan.dialog\tGood evening.\n";

struct CaptionsFolder {
    TempDir dir;
    CaptionsFolder()
    {
        writeFile(dir.path("screenplay.txt"), kScreenplay);
        writeFile(dir.path("lines.tsv"), kLineTable);
        writeFile(dir.path("data/captions.vtt"), "WEBVTT\n\nthe captions of the last build\n");
    }
    ToolRun make() const
    {
        return runTool({QUORVANE_MAKE_CAPTIONS, dir.path("screenplay.txt"), dir.path("lines.tsv"),
                        dir.path("data/captions.vtt")});
    }
};

TEST(MakeCaptions, writes_the_captions_in_place_of_the_old_ones)
{
    CaptionsFolder folder;
    const ToolRun run = folder.make();
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_NE(readFile(folder.dir.path("data/captions.vtt")).find("Good evening."), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(folder.dir.path("data/captions.vtt.partial")));
}

TEST(MakeCaptions, a_write_that_fails_as_the_file_closes_keeps_the_old_captions)
{
    // A full disk: the few bytes of the captions wait in the stream's buffer
    // and fail only as it is closed.
    CaptionsFolder folder;
    ASSERT_EQ(symlink("/dev/full", folder.dir.path("data/captions.vtt.partial").c_str()), 0);
    const ToolRun run = folder.make();
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.errors.find("make-captions: " + folder.dir.path("data/captions.vtt.partial") + ": cannot write"),
              std::string::npos)
        << run.errors;
    namespace fs = std::filesystem;
    ASSERT_TRUE(fs::is_regular_file(fs::symlink_status(folder.dir.path("data/captions.vtt"))));
    EXPECT_EQ(readFile(folder.dir.path("data/captions.vtt")), "WEBVTT\n\nthe captions of the last build\n");
    EXPECT_FALSE(fs::exists(fs::symlink_status(folder.dir.path("data/captions.vtt.partial"))));
}

TEST(MakeCaptions, a_line_table_that_does_not_match_the_screenplay_is_named)
{
    const std::pair<const char*, const char*> cases[] = {
        {"10.000\t11.200\tharlan\tharlan.dialog\tGood morning.\n", "lines.tsv:1: does not match"},
        {"10.000\t9.000\tharlan\tharlan.dialog\tGood evening.\n", "lines.tsv:1: expected start, a later end"},
        {"", "lines.tsv: holds 0 lines, the screenplay 1"},
    };
    for (const auto& [table, message] : cases) {
        SCOPED_TRACE(table);
        CaptionsFolder folder;
        writeFile(folder.dir.path("lines.tsv"), table);
        const ToolRun run = folder.make();
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_NE(run.errors.find(folder.dir.path(message)), std::string::npos) << run.errors;
        EXPECT_EQ(readFile(folder.dir.path("data/captions.vtt")), "WEBVTT\n\nthe captions of the last build\n");
    }
}

} // namespace
