// tools/svgrender as a command: its exit codes and messages, what it
// writes, and that the same sources give the same bytes.
#include <gtest/gtest.h>

#include <string>

#include "ArtImage.h"
#include "TestFiles.h"

namespace {

const std::string kRenderer = QUORVANE_SVGRENDER;

std::string svg(int width, int height, const std::string& body)
{
    return "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + std::to_string(width) + "\" height=\""
         + std::to_string(height) + "\">" + body + "</svg>\n";
}

// A small project: a picture "sky", a figure file with parts "hat" and "boot".
struct MiniArt {
    TempDir dir;
    MiniArt()
    {
        writeFile(dir.path("config.txt"), "Texture sky data/sky.png\nTexture hat data/hat.png\nTexture boot data/boot.png\n");
        writeFile(dir.path("art/sky.svg"), svg(40, 20, "<rect width=\"40\" height=\"20\" fill=\"#3060c0\"/>"));
        writeFile(dir.path("art/figure.svg"),
                  svg(30, 50, "<g id=\"hat\"><rect x=\"5\" y=\"0\" width=\"20\" height=\"10\" fill=\"#000\"/></g>"
                              "<g id=\"boot\"><rect x=\"5\" y=\"40\" width=\"20\" height=\"10\" fill=\"#800\"/></g>"));
        writeFile(dir.path("out/.keep"), "");
    }
    std::string command(const std::string& extra = "") const
    {
        return kRenderer + " --config " + dir.path("config.txt") + " --out " + dir.path("out") + " " + extra;
    }
    std::string sources() const { return dir.path("art/sky.svg") + " " + dir.path("art/figure.svg"); }
};

} // namespace

TEST(SvgRender, help_and_usage_errors_have_their_exit_codes)
{
    std::string errors;
    EXPECT_EQ(runCommand(kRenderer + " --help", errors), 0);
    EXPECT_EQ(runCommand(kRenderer, errors), 2);
    EXPECT_EQ(errors.rfind("svgrender: ", 0), 0u) << errors;
    EXPECT_EQ(runCommand(kRenderer + " --frobnicate x.svg", errors), 2);
    EXPECT_NE(errors.find("--frobnicate"), std::string::npos) << errors;
}

TEST(SvgRender, renders_pictures_whole_and_parts_alone_in_their_frame)
{
    MiniArt art;
    std::string errors;
    ASSERT_EQ(runCommand(art.command(art.sources()), errors), 0) << errors;

    const ArtImage sky = loadArtImage(art.dir.path("out/sky.png"));
    EXPECT_EQ(sky.width, 40);
    EXPECT_EQ(sky.height, 20);
    EXPECT_EQ(sky.alpha(0, 0), 255);

    const ArtImage hat = loadArtImage(art.dir.path("out/hat.png"));
    const ArtImage boot = loadArtImage(art.dir.path("out/boot.png"));
    ASSERT_EQ(hat.width, 30);
    ASSERT_EQ(hat.height, 50);
    ASSERT_EQ(boot.height, 50);
    EXPECT_TRUE(hat.opaque(15, 5));
    EXPECT_FALSE(hat.opaque(15, 45)) << "the boot is not drawn into the hat's image";
    EXPECT_FALSE(hat.opaque(2, 5));
    EXPECT_TRUE(boot.opaque(15, 45));
    EXPECT_FALSE(boot.opaque(15, 5));
}

TEST(SvgRender, failures_name_the_file_or_element_and_exit_with_1)
{
    struct Case {
        const char* what;
        std::string figure;     // contents of art/figure.svg
        std::string extra;      // more sources
        std::string mentioned;  // text the message must hold
    };
    MiniArt art;
    writeFile(art.dir.path("art/wide.svg"), svg(31, 50, "<g id=\"cap\"><rect width=\"5\" height=\"5\"/></g>"));
    writeFile(art.dir.path("art/twin.svg"), svg(30, 50, "<g id=\"hat\"><rect width=\"5\" height=\"5\"/></g>"));
    writeFile(art.dir.path("art/broken.svg"), "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"30\" height=\"50\"><g>");
    const std::string good = readFile(art.dir.path("art/figure.svg"));
    const std::vector<Case> cases = {
        {"a source that does not exist", good, art.dir.path("art/missing.svg"), "missing.svg"},
        {"a source that does not parse", good, art.dir.path("art/broken.svg"), "broken.svg"},
        {"a texture with no source", svg(30, 50, "<g id=\"hat\"><rect width=\"5\" height=\"5\"/></g>"), "", "\"boot\""},
        {"a part drawn in two files", good, art.dir.path("art/twin.svg"), "twin.svg"},
        {"figure files of two frame sizes", good, art.dir.path("art/wide.svg"), "wide.svg"},
        {"a part that draws nothing", svg(30, 50, "<g id=\"hat\"/><g id=\"boot\"><rect width=\"5\" height=\"5\"/></g>"),
         "", "\"hat\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        writeFile(art.dir.path("art/figure.svg"), c.figure);
        std::string errors;
        EXPECT_EQ(runCommand(art.command(art.sources() + " " + c.extra), errors), 1);
        EXPECT_NE(errors.find(c.mentioned), std::string::npos) << errors;
    }
}

TEST(SvgRender, a_source_that_is_not_text_or_not_xml_is_refused_with_its_line)
{
    MiniArt art;
    const std::string head = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"40\" height=\"20\">\n"
                             "<title>Sky, caf\xc3\xa9 blue</title>\n";
    const struct {
        const char* what;
        std::string line3; // the third line of art/sky.svg
        std::string message;
    } cases[] = {
        {"a NUL byte", std::string("<rect width=\"4\0\"/>", 19), "sky.svg:3: a NUL byte at column 15; an SVG source is text"},
        {"a control character", "<rect width=\"4\"\x01/>", "sky.svg:3: the control character 0x01 at column 16; an SVG source is text"},
        {"a byte that is not UTF-8", "<rect width=\"4\xff\"/>", "sky.svg:3: bytes that are not UTF-8 at column 15"},
        {"an overlong UTF-8 sequence", "<rect width=\"4\xc0\x80\"/>", "sky.svg:3: bytes that are not UTF-8 at column 15"},
        {"a UTF-8 sequence cut short", "<rect width=\"4\"/>\xe2\x82", "sky.svg:3: bytes that are not UTF-8 at column 18"},
        {"an element left open", "<rect width=\"4\">", "sky.svg:5: Premature end of data in tag svg line 1 (column 1)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        writeFile(art.dir.path("art/sky.svg"), head + c.line3 + "\n</svg>\n");
        std::string errors;
        EXPECT_EQ(runCommand(art.command(art.sources()), errors), 1);
        EXPECT_EQ(errors, "svgrender: " + art.dir.path("art/" + c.message) + "\n");
    }
    writeFile(art.dir.path("art/sky.svg"), head + "<rect width=\"40\" height=\"20\" fill=\"#3060c0\"/>\n</svg>\n");
    std::string errors;
    EXPECT_EQ(runCommand(art.command("-q " + art.sources()), errors), 0) << "UTF-8 text read: " << errors;
}

TEST(SvgRender, a_page_larger_than_a_texture_may_be_is_refused_before_it_is_drawn)
{
    MiniArt art;
    for (const std::string width : {"16385", "1e12"}) {
        SCOPED_TRACE(width);
        writeFile(art.dir.path("art/sky.svg"), "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + width
                + "\" height=\"20\"><rect width=\"40\" height=\"20\"/></svg>\n");
        std::string errors;
        EXPECT_EQ(runCommand(art.command(art.sources()), errors), 1);
        EXPECT_NE(errors.find(art.dir.path("art/sky.svg") + ": <svg> is "), std::string::npos) << errors;
        EXPECT_NE(errors.find(" pixels, where an image has at most 16384 a side\n"), std::string::npos) << errors;
    }
}

TEST(SvgRender, the_same_sources_give_the_same_bytes)
{
    // A picture drawn over another picture, a part with a filter, a bare part.
    const std::vector<std::string> names = {"surprisearm", "harlan_head", "pupil", "arms_telo"};
    std::string only;
    for (const std::string& name : names)
        only += " --only " + name;
    const std::string sources = sourceRoot() + "/content/art/*/*.svg";
    TempDir first;
    TempDir second;
    std::string errors;
    for (TempDir* dir : {&first, &second}) {
        const std::string command = kRenderer + " -q --config " + sourceRoot() + "/data/config.txt --out " + dir->root
                                  + only + " " + sources;
        ASSERT_EQ(runCommand(command, errors), 0) << errors;
    }
    for (const std::string& name : names) {
        const std::string bytes = readFile(first.path(name + ".png"));
        ASSERT_FALSE(bytes.empty()) << name;
        EXPECT_EQ(bytes, readFile(second.path(name + ".png"))) << name << " differs between two runs";
        EXPECT_EQ(bytes, readFile(sourceRoot() + "/data/" + name + ".png")) << name << " differs from the build's";
    }
}
