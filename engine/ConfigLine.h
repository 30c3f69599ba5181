// One line of the resource list, split into its fields. Fields are separated
// by single spaces; nothing is trimmed, and the last field of a line runs to
// its end, spaces included.
#pragma once

#include <istream>
#include <string>
#include <vector>

class ConfigLine {
public:
    enum Kind {
        Skipped,    // not a resource line (empty, comment, unknown keyword)
        Texture,    // name, path
        Shader,     // name, fragment path, vertex path
        File,       // name, text
        Incomplete, // a known keyword without all of its fields
        HasNul,     // a NUL byte, which no path or name may hold
    };

    // Splits `line` (without its line end) into keyword and fields.
    static ConfigLine parse(const std::string& line);
    // Every line of a resource list that is not Skipped, numbered from 1.
    // Lines end at a line feed; a carriage return just before one is dropped,
    // one at the end of a last line without a line feed is kept.
    static std::vector<ConfigLine> readList(std::istream& in);

    Kind kind = Skipped;
    int number = 0; // line number in the list, from 1
    std::string keyword;
    std::string name;
    std::string first;  // Texture path, File text or Shader fragment path
    std::string second; // Shader vertex path
};
