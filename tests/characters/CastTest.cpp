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
#include "characters/Costume.h"
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
        const Costume& costume;
        std::vector<double> speech; // start, end
    } cases[] = {
        {"Harlan", make<Harlan>(), Costume::kHarlan, {1, 2}},
        {"Programmer", make<Programmer>(), Costume::kProgrammer, {5, 6}},
        {"Vesna", make<Vesna>(), Costume::kVesna, {3, 4}},
        {"ShopAssistant", make<ShopAssistant>(), Costume::kShopAssistant, {9, 10}},
        {"Veryrich", make<Veryrich>(), Costume::kVeryrich, {11, 12}},
        {"FuneralWife", make<FuneralWife>(), Costume::kFuneralWife, {7, 8}},
        {"Wife", make<Wife>(), Costume::kWife, {7, 8}},
        {"Zombie", make<Zombie>(), Costume::kZombie, {}},
    };
    // A costume entry as the name of the texture worn.
    const auto named = [](const char* name) { return std::string(name ? name : "(none)"); };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind);
        Character* character = c.make(&resources);
        for (int part = 0; part < Character::kPartCount; ++part)
            EXPECT_EQ(show.nameOf(character->*Character::kParts[part].texture), c.costume.parts[part]) << part;
        int talking = 0;
        for (size_t i = 0; i < 3; ++i) {
            EXPECT_EQ(show.nameOf(character->talkMouths[i]), named(c.costume.talkMouths[i])) << i;
            talking += c.costume.talkMouths[i] ? 1 : 0;
        }
        EXPECT_EQ(character->talkMouthCount, c.costume.restMouth ? talking : 1);
        EXPECT_EQ(show.nameOf(character->restMouth), named(c.costume.restMouth));
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
