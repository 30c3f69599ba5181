// The resource list read by the scripts of the content build as the player
// reads it: config-resources, and render-changed-art through it.
#include "TestFiles.h"
#include "ToolRun.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

namespace {

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

TEST(ConfigResources, prints_the_resources_as_the_player_reads_them)
{
    TempDir dir;
    writeFile(dir.path("config.txt"), std::string("# a comment\r\n"
                                                  "Texture intro data/intro.png\r\n"
                                                  "Texture  data/two  spaces.png \r\n"
                                                  "Shader sprite data/sprite.frag data/sprite vert.vert\n"
                                                  "Shader broken data/only.frag\n"
                                                  "File harlan data/\"harlan\"\\.dialog\n"
                                                  "texture lower data/lower.png\n"
                                                  "Texture nul data/n") +
                                          '\0' + "l.png\nFile last text\r");
    const std::string out = outputOf(std::string(QUORVANE_CONFIG_RESOURCES) + " " + dir.path("config.txt") + " 2>" +
                                     dir.path("errors.txt"));
    EXPECT_EQ(out, "{\"line\": 2, \"kind\": \"Texture\", \"name\": \"intro\", \"paths\": [\"data/intro.png\"]}\n"
                   "{\"line\": 3, \"kind\": \"Texture\", \"name\": \"\", \"paths\": [\"data/two  spaces.png \"]}\n"
                   "{\"line\": 4, \"kind\": \"Shader\", \"name\": \"sprite\", "
                   "\"paths\": [\"data/sprite.frag\", \"data/sprite vert.vert\"]}\n"
                   "{\"line\": 6, \"kind\": \"File\", \"name\": \"harlan\", \"text\": \"data/\\\"harlan\\\"\\\\.dialog\"}\n"
                   "{\"line\": 9, \"kind\": \"File\", \"name\": \"last\", \"text\": \"text\\u000d\"}\n");
    const std::string errors = readFile(dir.path("errors.txt"));
    EXPECT_NE(errors.find("config-resources: " + dir.path("config.txt") +
                          ":5: warning: \"Shader\" needs a name and two paths; line skipped"),
              std::string::npos)
        << errors;
    EXPECT_NE(errors.find(dir.path("config.txt") + ":8: warning: line holds a NUL byte"), std::string::npos) << errors;
}

#ifdef QUORVANE_SVGRENDER
// The player's rules for line ends: a carriage return before a line feed is
// dropped, one ending the last line is part of its path. Read any other
// way, the image looked missing and every build drew everything again.
TEST(ConfigResources, render_changed_art_renders_what_the_player_loads_once)
{
    TempDir dir;
    writeFile(dir.path("config.txt"), "Texture dot data/dot.png\r\nTexture ring data/ring.png\r");
    writeFile(dir.path("art/dot.svg"), "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"8\" height=\"8\">"
                                       "<circle cx=\"4\" cy=\"4\" r=\"3\" fill=\"red\"/></svg>\n");
    writeFile(dir.path("art/ring.svg"), "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"8\" height=\"8\">"
                                        "<circle cx=\"4\" cy=\"4\" r=\"3\" fill=\"none\" stroke=\"blue\"/></svg>\n");
    std::filesystem::create_directories(dir.path("data"));
    auto render = [&] {
        return runTool({QUORVANE_PYTHON, sourceRoot() + "/tools/render-changed-art", "--svgrender",
                        QUORVANE_SVGRENDER, "--config-resources", QUORVANE_CONFIG_RESOURCES, "--config",
                        dir.path("config.txt"), "--out", dir.path("data"), "--stamp", dir.path("art.stamp"),
                        dir.path("art/dot.svg"), dir.path("art/ring.svg")});
    };
    const ToolRun first = render();
    ASSERT_EQ(first.exitCode, 0) << first.errors;
    EXPECT_EQ(readFile(dir.path("art.stamp")), "dot ring\n");
    EXPECT_FALSE(readFile(dir.path("data/dot.png")).empty());
    // Nothing changed: nothing to render.
    const ToolRun second = render();
    ASSERT_EQ(second.exitCode, 0) << second.errors;
    EXPECT_EQ(readFile(dir.path("art.stamp")), "\n");
}
#endif

} // namespace
