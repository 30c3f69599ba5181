#include "ConfigLine.h"

ConfigLine ConfigLine::parse(const std::string& line)
{
    ConfigLine result;
    const size_t p1 = line.find(' ');
    result.keyword = line.substr(0, p1);

    const bool texture = result.keyword == "Texture";
    const bool shader = result.keyword == "Shader";
    const bool file = result.keyword == "File";
    if (!texture && !shader && !file)
        return result;
    if (line.find('\0') != std::string::npos) {
        result.kind = HasNul;
        return result;
    }

    const size_t p2 = p1 == std::string::npos ? p1 : line.find(' ', p1 + 1);
    if (p2 == std::string::npos) {
        result.kind = Incomplete;
        return result;
    }
    result.name = line.substr(p1 + 1, p2 - p1 - 1);
    if (!shader) {
        result.kind = texture ? Texture : File;
        result.first = line.substr(p2 + 1);
        return result;
    }

    const size_t p3 = line.find(' ', p2 + 1);
    if (p3 == std::string::npos) {
        result.kind = Incomplete;
        return result;
    }
    result.kind = Shader;
    result.first = line.substr(p2 + 1, p3 - p2 - 1);
    result.second = line.substr(p3 + 1);
    return result;
}

std::vector<ConfigLine> ConfigLine::readList(std::istream& in)
{
    std::vector<ConfigLine> lines;
    std::string text;
    for (int number = 1; std::getline(in, text); ++number) {
        // A line that ends the input without a line feed keeps its last byte.
        const bool endedByLineFeed = !in.eof();
        if (endedByLineFeed && !text.empty() && text.back() == '\r')
            text.pop_back();
        ConfigLine line = parse(text);
        if (line.kind == Skipped)
            continue;
        line.number = number;
        lines.push_back(std::move(line));
    }
    return lines;
}
