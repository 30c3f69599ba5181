// Reading dialog scripts: one speech interval per line, start seconds, a tab,
// end seconds. Each number is the longest decimal prefix of its text after
// leading white space (sign, digits with an optional point, an optional
// exponent); a text without one reads as 0. The point is always '.',
// whatever the locale. Nothing here fails: any bytes give some intervals.
#pragma once

#include <istream>
#include <string>
#include <vector>

class DialogScript {
public:
    // The number at the start of `text`, or 0 when there is none. A number
    // too large for a double reads as infinity, one too small as zero.
    static double readNumber(const std::string& text);

    // Splits `line` at its first tab into start and end; a line without a tab
    // gives its whole text as both.
    static void readLine(const std::string& line, double* start, double* end);

    // Appends one interval per line of `in` to `starts` and `ends`.
    static void read(std::istream& in, std::vector<double>& starts, std::vector<double>& ends);

    // What a maker would want to know of a script before trusting it.
    struct Check {
        std::vector<int> unreadable; // lines (from 1) that are not two numbers with a tab between
        int intervals = 0;           // lines whose start lies before their end
    };
    // Reads `in` as a script and tells what is wrong with it; reads it as
    // read() does all the same.
    static Check check(std::istream& in);
};
