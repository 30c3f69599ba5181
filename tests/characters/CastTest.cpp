// The cast dressed from the test show's data, where every texture is a solid
// colour of its own: a part's texture is recognised by its colour.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "GlTest.h"
#include "TestShow.h"
#include "characters/FuneralWife.h"
#include "characters/Harlan.h"
#include "characters/Programmer.h"
#include "characters/ShopAssistant.h"
#include "characters/Veryrich.h"
#include "characters/Vesna.h"
#include "characters/Wife.h"
#include "characters/Zombie.h"
#include "engine/ResourceManager.h"

namespace {

using Make = std::function<Character*(ResourceManager*)>;

template <typename Cast> Make make()
{
    return [](ResourceManager* resources) { return new Cast(resources); };
}

// Each script speaks in one interval of its own.
const std::map<std::string, std::string> kScripts = {{"harlan.dialog", "1\t2\n"}, {"vesna.dialog", "3\t4\n"},
    {"prog.dialog", "5\t6\n"}, {"wife.dialog", "7\t8\n"}, {"sa.dialog", "9\t10\n"}, {"veryrich.dialog", "11\t12\n"}};

// The resource list without the line that starts with `prefix`.
std::string withoutLine(const std::string& config, const std::string& prefix)
{
    std::istringstream in(config);
    std::string out, line;
    while (std::getline(in, line)) {
        if (line.rfind(prefix, 0) != 0)
            out += line + "\n";
    }
    return out;
}

} // namespace

TEST(Cast, each_kind_wears_exactly_its_textures_mouths_and_script)
{
    REQUIRE_GL();
    TestShow show(kScripts);
    ResourceManager resources("data/config.txt");
    const struct {
        const char* kind;
        Make make;
        std::vector<std::string> parts; // body, arms, legs, head, hair, mouth, eyes, pupils
        std::vector<std::string> talking;
        std::string closed;
        std::vector<double> speech; // start, end
    } cases[] = {
        {"Harlan", make<Harlan>(),
            {"harlan_body", "harlan_arms", "legs_black", "harlan_head", "harlan_hair", "harlan_mouth_1", "harlan_eyes",
                "harlan_pupil"},
            {"harlan_mouth_2", "harlan_mouth_3", "harlan_mouth_4"}, "harlan_mouth_1", {1, 2}},
        {"Programmer", make<Programmer>(),
            {"body_3", "arms_3", "legs_black", "head_2", "hair_1", "mouth_6", "eyes", "pupil"},
            {"mouth_2", "mouth_4", "mouth_5"}, "mouth_6", {5, 6}},
        {"Vesna", make<Vesna>(),
            {"vesna_body", "vesna_arms", "vesna_legs", "vesna_head", "vesna_hair", "vesna_mouth_1", "vesna_eyes",
                "vesna_pupil"},
            {"vesna_mouth_2", "vesna_mouth_3", "vesna_mouth_4"}, "vesna_mouth_1", {3, 4}},
        {"ShopAssistant", make<ShopAssistant>(),
            {"shopassistant_body", "shopassistant_arms", "legs_black", "head_2", "shopassistant_hair",
                "shopassistant_mouth_2", "shopassitant_eyes", "pupil"},
            {"shopassistant_mouth_2", "shopassistant_mouth_1"}, "shopassistant_mouth_2", {9, 10}},
        {"Veryrich", make<Veryrich>(),
            {"veryrich_body", "veryrich_arms", "veryrich_legs", "head_2", "veryrich_hair", "mouth_5", "veryrich_eyes",
                "pupil"},
            {"mouth_2", "mouth_4", "mouth_5"}, "mouth_5", {11, 12}},
        {"FuneralWife", make<FuneralWife>(),
            {"body_9", "arms_9", "legs_7", "head_2", "hair_7", "mouth_6", "eyes", "pupil"},
            {"mouth_2", "mouth_4", "mouth_5"}, "mouth_6", {7, 8}},
        {"Wife", make<Wife>(), {"body_8", "arms_8", "legs_6", "head_2", "hair_2", "mouth", "eyes", "pupil"},
            {"mouth_2", "mouth_4", "mouth_5"}, "mouth", {7, 8}},
        {"Zombie", make<Zombie>(),
            {"body_4", "arms_4", "legs_black", "zombie_head", "shopassistant_hair", "mouth_8", "eyes_5", "pupil"}, {},
            "(none)", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind);
        Character* character = c.make(&resources);
        const GLuint worn[8]
            = {character->bodyTexture, character->armsTexture, character->legsTexture, character->headTexture,
                character->hairTexture, character->mouthTexture, character->eyesTexture, character->pupilTexture};
        for (int part = 0; part < 8; ++part)
            EXPECT_EQ(show.nameOf(worn[part]), c.parts[part]) << "part " << part;
        for (size_t i = 0; i < 3; ++i)
            EXPECT_EQ(show.nameOf(character->talkMouths[i]), i < c.talking.size() ? c.talking[i] : "(none)") << i;
        EXPECT_EQ(character->talkMouthCount, c.talking.empty() ? 1 : static_cast<int>(c.talking.size()));
        EXPECT_EQ(show.nameOf(character->restMouth), c.closed);
        const std::vector<double> speech = c.speech.empty()
            ? std::vector<double>{}
            : std::vector<double>{character->speechStarts.at(0), character->speechEnds.at(0)};
        EXPECT_EQ(speech, c.speech);
        EXPECT_EQ(character->speechStarts.size(), c.speech.size() / 2);

        // The rest of the rig keeps its defaults.
        EXPECT_EQ(character->depth, 0.11f);
        EXPECT_EQ(character->mirrored, 0);
        EXPECT_EQ(character->armsUp, 0);
        EXPECT_EQ(character->nextMouthChange, 0.0);
    }
}

TEST(Cast, zombie_has_no_mouths_to_speak_with_and_render_would_take_its_mouth_away)
{
    REQUIRE_GL();
    TestShow show(kScripts);
    ResourceManager resources("data/config.txt");
    Zombie zombie(&resources);
    EXPECT_EQ(show.nameOf(zombie.mouthTexture), "mouth_8");
    zombie.lipSync(1.5);
    EXPECT_EQ(zombie.mouthTexture, 0u);
}

TEST(Cast, a_name_missing_from_the_resource_list_makes_construction_throw)
{
    REQUIRE_GL();
    const struct {
        const char* kind;
        Make make;
        const char* dropped;
    } cases[] = {
        {"ShopAssistant", make<ShopAssistant>(), "Texture shopassitant_eyes "},
        {"Harlan", make<Harlan>(), "File harlandialog "},
        {"Wife", make<Wife>(), "Texture mouth_5 "},
        {"Zombie", make<Zombie>(), "Texture zombie_head "},
    };
    for (const auto& c : cases) {
        TestShow show(kScripts);
        show.writeConfig(withoutLine(show.configText(), c.dropped));
        ResourceManager resources("data/config.txt");
        EXPECT_THROW(c.make(&resources), std::out_of_range) << c.kind << " without " << c.dropped;
    }
}
