// config-resources: prints the resources of a resource list as the show
// reads it (engine/ConfigLine), one JSON object a line, so that scripts
// (render-changed-art, build-web) take the same names and paths the player
// takes, carriage returns and spaces included. Lines the show skips with a
// warning get the same warning here.
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "ArgumentReader.h"
#include "ToolMain.h"
#include "UsageError.h"
#include "engine/ConfigLine.h"

namespace {

const char* const kUsage =
    "usage: config-resources CONFIG\n"
    "Prints every resource of the resource list CONFIG as the show reads it,\n"
    "one JSON object a line, in the order of the list:\n"
    "  {\"line\": 3, \"kind\": \"Texture\", \"name\": \"bg\", \"paths\": [\"data/bg.png\"]}\n"
    "  {\"line\": 5, \"kind\": \"Shader\", \"name\": \"sprite\", \"paths\": [FRAGMENT, VERTEX]}\n"
    "  {\"line\": 9, \"kind\": \"File\", \"name\": \"harlan\", \"text\": \"data/harlan.dialog\"}\n"
    "Text is UTF-8 as written, with JSON's escapes. A line the show skips with a\n"
    "warning (a keyword without all its fields, a NUL byte) is named on\n"
    "standard error as the show names it.\n"
    "\n"
    "  -h, --help  this text\n"
    "  --version   the version\n"
    "\n"
    "Exit codes: 0 done, 1 failure, 2 usage.\n";

// `text` as a JSON string; bytes above 127 pass as they are.
std::string json(const std::string& text)
{
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += char(c);
        } else if (c < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", c);
            out += escape;
        } else {
            out += char(c);
        }
    }
    return out + "\"";
}

int run(const std::vector<std::string>& arguments)
{
    std::vector<std::string> operands;
    for (ArgumentReader args(arguments); args.next();)
        operands.push_back(args.operand());
    if (operands.size() != 1)
        throw UsageError("needs one resource list");
    const std::string& path = operands[0];
    std::ifstream file(path, std::ios::binary);
    if (!file)
        throw std::runtime_error(path + ": cannot open");
    for (const ConfigLine& line : ConfigLine::readList(file)) {
        const std::string where = path + ":" + std::to_string(line.number) + ": ";
        std::string fields;
        switch (line.kind) {
        case ConfigLine::Texture: fields = "\"paths\": [" + json(line.first) + "]"; break;
        case ConfigLine::Shader: fields = "\"paths\": [" + json(line.first) + ", " + json(line.second) + "]"; break;
        case ConfigLine::File: fields = "\"text\": " + json(line.first); break;
        case ConfigLine::Incomplete:
            std::fprintf(stderr, "config-resources: %swarning: \"%s\" needs %s; line skipped\n", where.c_str(),
                         line.keyword.c_str(), line.keyword == "Shader" ? "a name and two paths" : "a name and a value");
            continue;
        case ConfigLine::HasNul:
            std::fprintf(stderr, "config-resources: %swarning: line holds a NUL byte; line skipped\n", where.c_str());
            continue;
        case ConfigLine::Skipped: continue;
        }
        std::printf("{\"line\": %d, \"kind\": %s, \"name\": %s, %s}\n", line.number, json(line.keyword).c_str(),
                    json(line.name).c_str(), fields.c_str());
    }
    if (std::fflush(stdout) != 0 || std::ferror(stdout))
        throw std::runtime_error("cannot write the resources");
    return ToolMain::kSuccess;
}

} // namespace

int main(int argc, char** argv)
{
    return ToolMain("config-resources", kUsage).run(argc, argv, run);
}
