// The images the content build renders into data/: sizes, and that every
// part of the cut-out rig keeps to its place in the shared figure frame.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "ArtImage.h"
#include "TestFiles.h"

namespace {

const int kBackdropWidth = 1920;
const int kBackdropHeight = 1080;
// The largest figure the show draws at 1920x1080 (scale 0.8) covers
// 0.6644 x 0.8 x 960 by 1.84 x 0.8 x 540 pixels.
const int kFigureWidth = 511;
const int kFigureHeight = 795;
// The widest glance the scenes give the pupils, in quad units (the frame
// spans 2 units each way).
const double kGlance = 0.05;

const std::set<std::string> kBackdrops = {
    "intro", "home", "packs", "cemetry_day", "cemetry_night", "surprisearm", "cemetry_day2",
    "office", "office2", "desk", "computershop", "party", "endcredit",
};

std::string describe(const std::string& name, int x, int y)
{
    return name + " at (" + std::to_string(x) + ", " + std::to_string(y) + ")";
}

// The shoulder line of data/sprite.vert as a texture coordinate.
double shoulderLine()
{
    std::ifstream in(sourceRoot() + "/data/sprite.vert");
    std::stringstream text;
    text << in.rdbuf();
    std::smatch match;
    const std::string source = text.str();
    if (!std::regex_search(source, match, std::regex(R"(\b[kK]?[sS]houlderLine\s*=\s*([0-9.]+))")))
        return -1.0;
    return std::stod(match[1]);
}

// A painted shape as the eye finds it: the texels reachable from `seed`
// without crossing its ink outline (texels under 60 % or over 160 % of the
// seed's brightness), summed up by area, centre and spread.
struct Shape {
    double area = 0.0;
    double x = 0.0, y = 0.0;          // centre
    double major = 0.0, minor = 0.0;  // standard deviations along the principal axes
    double tilt = 0.0;                // of the major axis from the vertical, degrees
};

Shape shapeAt(const ArtImage& image, int seedX, int seedY)
{
    auto brightness = [&](int x, int y) {
        const unsigned char* p = &image.rgba[(size_t(y) * image.width + x) * 4];
        return 0.3 * p[0] + 0.59 * p[1] + 0.11 * p[2];
    };
    double seed = 0.0;
    for (int dy = -2; dy <= 2; ++dy)
        for (int dx = -2; dx <= 2; ++dx)
            seed += brightness(seedX + dx, seedY + dy) / 25.0;
    std::vector<bool> seen(size_t(image.width) * image.height, false);
    std::vector<std::pair<int, int>> todo = {{seedX, seedY}};
    double n = 0, sx = 0, sy = 0, sxx = 0, syy = 0, sxy = 0;
    while (!todo.empty()) {
        const auto [x, y] = todo.back();
        todo.pop_back();
        if (x < 0 || y < 0 || x >= image.width || y >= image.height || seen[size_t(y) * image.width + x])
            continue;
        seen[size_t(y) * image.width + x] = true;
        const double b = brightness(x, y);
        if (b < 0.6 * seed || b > 1.6 * seed)
            continue;
        n += 1; sx += x; sy += y; sxx += double(x) * x; syy += double(y) * y; sxy += double(x) * y;
        todo.insert(todo.end(), {{x + 1, y}, {x - 1, y}, {x, y + 1}, {x, y - 1}});
    }
    Shape shape;
    shape.area = n;
    shape.x = sx / n;
    shape.y = sy / n;
    const double vxx = sxx / n - shape.x * shape.x, vyy = syy / n - shape.y * shape.y;
    const double vxy = sxy / n - shape.x * shape.y;
    const double mid = (vxx + vyy) / 2.0, half = std::sqrt((vxx - vyy) * (vxx - vyy) / 4.0 + vxy * vxy);
    shape.major = std::sqrt(mid + half);
    shape.minor = std::sqrt(std::max(0.0, mid - half));
    shape.tilt = std::atan2(2.0 * vxy, vyy - vxx) / 2.0 * 180.0 / M_PI;
    return shape;
}

} // namespace

TEST(ArtImages, every_configured_image_decodes_at_its_size)
{
    const auto textures = configuredTextures();
    ASSERT_EQ(textures.size(), 73u);
    for (const auto& [name, path] : textures) {
        SCOPED_TRACE(name + " (" + path + ")");
        const ArtImage image = loadArtImage(sourceRoot() + "/" + path);
        ASSERT_GT(image.width, 0) << "does not decode";
        if (kBackdrops.count(name)) {
            EXPECT_EQ(image.width, kBackdropWidth);
            EXPECT_EQ(image.height, kBackdropHeight);
            int holes = 0;
            for (int y = 0; y < image.height; ++y)
                for (int x = 0; x < image.width; ++x)
                    holes += image.alpha(x, y) < 255 ? 1 : 0;
            EXPECT_EQ(holes, 0) << "a backdrop is opaque everywhere";
        } else {
            EXPECT_EQ(image.width, kFigureWidth) << "part images share the figure frame";
            EXPECT_EQ(image.height, kFigureHeight) << "part images share the figure frame";
        }
    }
}

TEST(ArtImages, part_images_keep_a_transparent_border)
{
    // The show samples textures with the repeat wrap, so paint on one edge of
    // a part image shows along the opposite edge (soles as a line above the
    // head, a sleeve beside the other arm).
    for (const auto& [name, path] : configuredTextures()) {
        if (kBackdrops.count(name))
            continue;
        const ArtImage image = loadArtImage(sourceRoot() + "/" + path);
        ASSERT_GT(image.width, 2) << name;
        int painted = 0;
        std::string first;
        auto look = [&](int x, int y) {
            if (image.opaque(x, y) && painted++ == 0)
                first = describe(name, x, y);
        };
        for (int x = 0; x < image.width; ++x) {
            look(x, 0);
            look(x, image.height - 1);
        }
        for (int y = 0; y < image.height; ++y) {
            look(0, y);
            look(image.width - 1, y);
        }
        EXPECT_EQ(painted, 0) << name << " paints its outermost row or column, first " << first;
    }
}

TEST(ArtImages, body_images_leave_the_face_clear)
{
    // The neck may tuck under the chin's ink line, nothing more.
    const int tuck = 12;
    const std::vector<std::pair<std::string, std::string>> figures = {
        {"harlan_body", "harlan_head"}, {"vesna_body", "vesna_head"}, {"body_3", "head_2"},
        {"body_8", "head_2"}, {"body_9", "head_2"}, {"shopassistant_body", "head_2"},
        {"veryrich_body", "head_2"}, {"body_4", "zombie_head"},
    };
    for (const auto& [bodyName, headName] : figures) {
        const ArtImage body = loadTexture(bodyName);
        const ArtImage head = loadTexture(headName);
        ASSERT_EQ(body.width, head.width);
        const std::vector<bool> face = opaqueInterior(head, tuck);
        int overlap = 0;
        std::string first;
        for (int y = 0; y < body.height; ++y)
            for (int x = 0; x < body.width; ++x)
                if (body.opaque(x, y) && face[size_t(y) * body.width + x] && overlap++ == 0)
                    first = describe(bodyName, x, y);
        EXPECT_EQ(overlap, 0) << bodyName << " paints over " << headName << ", first " << first;
    }
}

TEST(ArtImages, pupils_stay_inside_the_eyes_when_glancing)
{
    const std::vector<std::pair<std::string, std::string>> pairs = {
        {"harlan_pupil", "harlan_eyes"}, {"vesna_pupil", "vesna_eyes"}, {"pupil", "eyes"},
        {"pupil", "eyes_5"}, {"pupil", "shopassitant_eyes"}, {"pupil", "veryrich_eyes"}, {"pupil", "dead_eyes"},
    };
    // Image rows grow downwards while pupil offsets grow upwards.
    const int dx = int(kGlance / 2.0 * kFigureWidth + 0.5);
    const int dy = int(kGlance / 2.0 * kFigureHeight + 0.5);
    const std::vector<std::pair<int, int>> glances = {{0, 0}, {dx, 0}, {-dx, 0}, {0, dy}, {0, -dy}};
    for (const auto& [pupilName, eyesName] : pairs) {
        const ArtImage pupil = loadTexture(pupilName);
        const ArtImage eyes = loadTexture(eyesName);
        ASSERT_EQ(pupil.width, eyes.width);
        for (const auto& [gx, gy] : glances) {
            int outside = 0;
            int drawn = 0;
            std::string first;
            for (int y = 0; y < pupil.height; ++y)
                for (int x = 0; x < pupil.width; ++x) {
                    if (!pupil.opaque(x, y))
                        continue;
                    ++drawn;
                    const int ex = x + gx;
                    const int ey = y + gy;
                    const bool inside = ex >= 0 && ey >= 0 && ex < eyes.width && ey < eyes.height && eyes.opaque(ex, ey);
                    if (!inside && outside++ == 0)
                        first = describe(pupilName, x, y);
            }
            EXPECT_GT(drawn, 0) << pupilName;
            EXPECT_EQ(outside, 0) << pupilName << " moved by (" << gx << ", " << gy << ") px leaves " << eyesName
                                  << ", first " << first;
        }
    }
}

TEST(ArtImages, mouths_lie_on_the_face_and_differ_from_each_other)
{
    struct Speaker {
        std::string head;
        std::vector<std::string> mouths; // closed and talking shapes, each once
    };
    const std::vector<Speaker> speakers = {
        {"harlan_head", {"harlan_mouth_1", "harlan_mouth_2", "harlan_mouth_3", "harlan_mouth_4"}},
        {"vesna_head", {"vesna_mouth_1", "vesna_mouth_2", "vesna_mouth_3", "vesna_mouth_4"}},
        {"head_2", {"mouth", "mouth_6", "mouth_2", "mouth_4", "mouth_5", "dead_mouth"}},
        {"head_2", {"shopassistant_mouth_2", "shopassistant_mouth_1"}},
        {"zombie_head", {"mouth_8"}},
    };
    for (const Speaker& speaker : speakers) {
        const ArtImage head = loadTexture(speaker.head);
        std::vector<ArtImage> mouths;
        for (const std::string& name : speaker.mouths) {
            mouths.push_back(loadTexture(name));
            const ArtImage& mouth = mouths.back();
            ASSERT_EQ(mouth.width, head.width) << name;
            int off = 0;
            std::string first;
            for (int y = 0; y < mouth.height; ++y)
                for (int x = 0; x < mouth.width; ++x)
                    if (mouth.opaque(x, y) && !head.opaque(x, y) && off++ == 0)
                        first = describe(name, x, y);
            EXPECT_EQ(off, 0) << name << " draws off " << speaker.head << ", first " << first;
        }
        // Shapes read as different when a good number of texels differ.
        for (size_t a = 0; a < mouths.size(); ++a)
            for (size_t b = a + 1; b < mouths.size(); ++b) {
                int differing = 0;
                for (int y = 0; y < mouths[a].height; ++y)
                    for (int x = 0; x < mouths[a].width; ++x)
                        differing += mouths[a].opaque(x, y) != mouths[b].opaque(x, y) ? 1 : 0;
                EXPECT_GE(differing, 150) << speaker.mouths[a] << " and " << speaker.mouths[b] << " look alike";
            }
    }
}

TEST(ArtImages, the_wife_keeps_her_lipstick_with_every_mouth)
{
    // Her talking mouths are shared with the men; her red lips lie under
    // them in her own hair layer, so some red shows round every mouth she
    // shows (closed, and the three talking shapes).
    const ArtImage hair = loadTexture("hair_2");
    auto lipstick = [](const unsigned char* p) { return p[3] > 200 && p[0] > 150 && p[1] < 80 && p[2] < 90; };
    for (const char* name : {"mouth", "mouth_2", "mouth_4", "mouth_5"}) {
        SCOPED_TRACE(name);
        const ArtImage mouth = loadTexture(name);
        ASSERT_EQ(mouth.width, hair.width);
        int red = 0;
        for (int y = 150; y < 230; ++y)
            for (int x = 200; x < 311; ++x) {
                size_t at = (size_t(y) * size_t(hair.width) + size_t(x)) * 4;
                const unsigned char* shown = mouth.opaque(x, y) ? &mouth.rgba[at] : &hair.rgba[at];
                red += lipstick(shown) ? 1 : 0;
            }
        EXPECT_GE(red, 60);
    }
}

TEST(ArtImages, arms_hang_from_the_shoulder_line_and_stay_in_the_frame_raised)
{
    const double shoulder = shoulderLine();
    ASSERT_GT(shoulder, 0.0) << "data/sprite.vert has no kShoulderLine";
    const double shoulderRow = shoulder * kFigureHeight;
    // The sleeves' ink line may reach a little above the line.
    const int highest = int(shoulderRow) - 3;
    // Raised arms are the image mirrored about the shoulder line: rows below
    // twice the line would land above the frame.
    const int lowest = int(2.0 * shoulderRow);
    for (const std::string name : {"harlan_arms", "vesna_arms", "shopassistant_arms", "veryrich_arms", "arms_3",
                                   "arms_4", "arms_8", "arms_9"}) {
        const ArtImage arms = loadTexture(name);
        ASSERT_EQ(arms.height, kFigureHeight) << name;
        int top = arms.height;
        int bottom = -1;
        for (int y = 0; y < arms.height; ++y)
            for (int x = 0; x < arms.width; ++x)
                if (arms.opaque(x, y)) {
                    top = std::min(top, y);
                    bottom = std::max(bottom, y);
                }
        EXPECT_GE(top, highest) << name << " reaches above the shoulder line";
        EXPECT_LE(top, int(shoulderRow) + 1) << name << " does not start at the shoulder line";
        EXPECT_LT(bottom, lowest) << name << " would leave the frame when raised";
    }
}

TEST(ArtImages, feet_stand_on_the_last_row_inside_the_border)
{
    for (const std::string name : {"legs_black", "vesna_legs", "veryrich_legs", "legs_6", "legs_7"}) {
        const ArtImage legs = loadTexture(name);
        ASSERT_EQ(legs.height, kFigureHeight) << name;
        int soles = 0;
        for (int x = 0; x < legs.width; ++x)
            soles += legs.alpha(x, legs.height - 2) == 255 ? 1 : 0;
        EXPECT_GE(soles, 100) << name << " has its feet above the frame's last row inside the border";
    }
}

TEST(ArtImages, the_grave_keeps_its_cross_through_the_three_cemetery_visits)
{
    // The same wooden cross on the same grave at the funeral, at night and
    // the day after, when it has been knocked askew. Seeds lie on the cross
    // where its beams meet.
    struct Visit {
        const char* picture;
        int seedX, seedY;
        bool askew;
    };
    const std::vector<Visit> visits = {
        {"cemetry_day", 1228, 822, false}, {"cemetry_night", 1228, 822, false}, {"cemetry_day2", 1205, 825, true}};
    const Shape funeral = shapeAt(loadTexture(visits[0].picture), visits[0].seedX, visits[0].seedY);
    ASSERT_GT(funeral.area, 3000.0) << "no cross found at the funeral";
    for (const Visit& visit : visits) {
        SCOPED_TRACE(visit.picture);
        const Shape cross = shapeAt(loadTexture(visit.picture), visit.seedX, visit.seedY);
        EXPECT_NEAR(cross.area, funeral.area, 0.1 * funeral.area);
        EXPECT_NEAR(cross.major, funeral.major, 0.1 * funeral.major);
        EXPECT_NEAR(cross.minor, funeral.minor, 0.1 * funeral.minor);
        EXPECT_LT(std::hypot(cross.x - funeral.x, cross.y - funeral.y), 40.0) << "the grave has moved";
        if (visit.askew)
            EXPECT_GT(std::abs(cross.tilt - funeral.tilt), 8.0) << "the cross still stands upright";
        else
            EXPECT_LT(std::abs(cross.tilt - funeral.tilt), 2.0) << "the cross leans";
    }
}

TEST(ArtImages, the_arm_is_all_that_changes_when_it_bursts_from_the_grave)
{
    // The night's picture turns into "surprisearm" from one frame to the
    // next: everything but the grave where the arm rises stays as it was.
    const ArtImage night = loadTexture("cemetry_night");
    const ArtImage arm = loadTexture("surprisearm");
    ASSERT_EQ(night.rgba.size(), arm.rgba.size());
    const int left = 1000, right = 1360, top = 560, bottom = 1000;
    int changed = 0, changedAtGrave = 0;
    std::string first;
    for (int y = 0; y < night.height; ++y)
        for (int x = 0; x < night.width; ++x) {
            const size_t at = (size_t(y) * night.width + x) * 4;
            if (std::equal(&night.rgba[at], &night.rgba[at] + 4, &arm.rgba[at]))
                continue;
            if (x >= left && x < right && y >= top && y < bottom)
                ++changedAtGrave;
            else if (changed++ == 0)
                first = describe("surprisearm", x, y);
        }
    EXPECT_EQ(changed, 0) << "first " << first;
    EXPECT_GT(changedAtGrave, 5000) << "no arm at the grave";
}

TEST(ArtImages, the_credits_name_the_voice_each_figure_speaks_with)
{
    // Every "cast NAME SCRIPTS VOICE ..." line of the screenplay has its
    // figure in the credits, under the voice that speaks its lines told in
    // a viewer's words (Flite's own voice names mean nothing to a viewer).
    const std::map<std::string, std::string> inWords = {
        {"rms", "US man"}, {"slt", "US woman"}, {"awb", "Scots man"}, {"kal16", "US man"}};
    std::ifstream svgFile(sourceRoot() + "/content/art/figures/endcredit.svg");
    std::stringstream svgText;
    svgText << svgFile.rdbuf();
    const std::string credits = svgText.str();
    std::map<std::string, std::string> credited;
    const std::regex voiceText(R"re(id="voice-([a-z]+)">([^<]*)<)re");
    for (auto it = std::sregex_iterator(credits.begin(), credits.end(), voiceText); it != std::sregex_iterator(); ++it)
        credited[(*it)[1]] = (*it)[2];

    std::ifstream screenplay(sourceRoot() + "/content/sound/screenplay.txt");
    std::string line;
    int cast = 0;
    while (std::getline(screenplay, line)) {
        std::istringstream words(line);
        std::string keyword, name, scripts, voice;
        if (!(words >> keyword >> name >> scripts >> voice) || keyword != "cast")
            continue;
        ++cast;
        SCOPED_TRACE(name);
        ASSERT_TRUE(credited.count(name)) << "the credits leave out " << name;
        ASSERT_TRUE(inWords.count(voice)) << voice << " has no words for the credits";
        EXPECT_EQ(credited[name], "voice: " + inWords.at(voice));
    }
    EXPECT_EQ(cast, int(credited.size())) << "the credits name a voice no figure speaks with";
    // The voices, the instruments and the sound effects are credited.
    for (const char* credit : {">Synthesised voices by Flite", ">Instruments: FluidR3 GM", ">Sound effects synthesised"})
        EXPECT_NE(credits.find(credit), std::string::npos) << credit;
}
