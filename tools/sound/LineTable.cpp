#include "LineTable.h"

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

std::vector<SpokenLine> parseLineTable(const std::string& text, const std::string& path)
{
    std::vector<SpokenLine> lines;
    std::istringstream file(text);
    std::string row;
    for (int number = 1; std::getline(file, row); ++number) {
        std::vector<std::string> fields;
        std::stringstream in(row);
        for (std::string field; std::getline(in, field, '\t');)
            fields.push_back(field);
        SpokenLine line;
        bool numbers = fields.size() == 5;
        for (size_t k = 0; numbers && k < 2; ++k) {
            char* end = nullptr;
            double& value = k == 0 ? line.start : line.end;
            value = std::strtod(fields[k].c_str(), &end);
            numbers = end != fields[k].c_str() && *end == '\0' && std::isfinite(value);
        }
        if (!numbers || !(line.start >= 0.0 && line.start < line.end))
            throw std::runtime_error(path + ":" + std::to_string(number) +
                                     ": expected start, a later end, speaker, script and text, separated by tabs");
        line.speaker = fields[2];
        line.script = fields[3];
        line.text = fields[4];
        lines.push_back(line);
    }
    return lines;
}

std::vector<SpokenLine> readLineTable(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        throw std::runtime_error(path + ": cannot open");
    std::ostringstream text;
    text << file.rdbuf();
    return parseLineTable(text.str(), path);
}
