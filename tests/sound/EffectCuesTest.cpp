#include "EffectCues.h"

#include <gtest/gtest.h>

namespace {

const std::vector<std::string> kSounds = {"ring", "murmur"};

TEST(EffectCues, reads_cues_and_sayings_in_order)
{
    EffectCues sheet = parseEffectCues("# the call\n40.4 ring 2 -17 -0.3\r\n\nsay Lovely evening.\n207.75 murmur 55.5 -31 0\n",
                                       "fx.txt", kSounds);
    ASSERT_EQ(sheet.cues.size(), 2u);
    EXPECT_DOUBLE_EQ(sheet.cues[0].start, 40.4);
    EXPECT_EQ(sheet.cues[0].sound, "ring");
    EXPECT_DOUBLE_EQ(sheet.cues[0].pan, -0.3);
    EXPECT_EQ(sheet.cues[1].sourceLine, 5);
    EXPECT_DOUBLE_EQ(sheet.cues[1].level, -31.0);
    ASSERT_EQ(sheet.sayings.size(), 1u);
    EXPECT_EQ(sheet.sayings[0], "Lovely evening.");
}

TEST(EffectCues, rejects_faults_naming_file_and_line)
{
    const std::pair<const char*, const char*> cases[] = {
        {"40 bell 2 -17 0\n", "fx.txt:1: no sound is called \"bell\""},
        {"40 ring 2 -17\n", "fx.txt:1: a cue reads"},
        {"40.0001 ring 2 -17 0\n", "fx.txt:1: start \"40.0001\""},
        {"40 ring 0 -17 0\n", "fx.txt:1: length \"0\""},
        {"40 ring 2 6 0\n", "fx.txt:1: level \"6\""},
        {"40 ring 2 -17 1.5\n", "fx.txt:1: pan \"1.5\""},
        {"40 ring 2 -17 nan\n", "fx.txt:1: pan \"nan\""},
        {"say\n", "fx.txt:1: \"say\" needs a sentence"},
        {"50 ring 2 -17 0\n40 ring 2 -17 0\n", "fx.txt:2: cues must be in time order"},
    };
    for (const auto& [text, message] : cases) {
        SCOPED_TRACE(text);
        try {
            parseEffectCues(text, "fx.txt", kSounds);
            ADD_FAILURE() << "no error";
        } catch (const EffectCueError& e) {
            EXPECT_EQ(std::string(e.what()).rfind(message, 0), 0u) << e.what();
        }
    }
}

} // namespace
