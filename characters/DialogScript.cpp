#include "DialogScript.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

size_t skipDigits(const std::string& text, size_t at)
{
    while (at < text.size() && isDigit(text[at]))
        ++at;
    return at;
}

// The power of ten of the leading digit of the number in text[begin, end),
// whose integer digits end at `integerEnd`: 2 for "123.4", -3 for "0.004",
// 0 for "1e-1" plus -1. Saturates far beyond any double's range.
long decimalOrder(const std::string& text, size_t begin, size_t integerEnd, size_t end)
{
    constexpr long kFar = 1000000;
    long order = -1;
    size_t at = begin;
    while (at < integerEnd && text[at] == '0')
        ++at;
    if (at < integerEnd) {
        order = std::min<long>(integerEnd - at, kFar) - 1;
    } else if (integerEnd < end && text[integerEnd] == '.') {
        at = integerEnd + 1;
        while (at < end && text[at] == '0')
            ++at;
        order = -std::min<long>(at - integerEnd, kFar);
    }
    const size_t e = text.find_first_of("eE", integerEnd);
    if (e < end) {
        size_t digit = e + 1;
        const bool negativeExponent = text[digit] == '-';
        if (text[digit] == '+' || text[digit] == '-')
            ++digit;
        long exponent = 0;
        for (; digit < end; ++digit)
            exponent = std::min(exponent * 10 + (text[digit] - '0'), kFar);
        order += negativeExponent ? -exponent : exponent;
    }
    return order;
}

// Where the number at the start of `text` lies, after white space: an
// optional sign, digits with an optional point, an optional exponent.
struct NumberSpan {
    bool negative = false;
    bool digits = false; // false: there is no number
    size_t begin = 0;    // the first digit or point, after the sign
    size_t integerEnd = 0;
    size_t end = 0;
};

NumberSpan scanNumber(const std::string& text)
{
    NumberSpan span;
    size_t at = 0;
    while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at])))
        ++at;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        span.negative = text[at] == '-';
        ++at;
    }
    span.begin = at;
    span.integerEnd = skipDigits(text, at);
    span.end = span.integerEnd;
    span.digits = span.integerEnd > span.begin;
    if (span.end < text.size() && text[span.end] == '.') {
        const size_t fractionEnd = skipDigits(text, span.end + 1);
        span.digits = span.digits || fractionEnd > span.end + 1;
        span.end = fractionEnd;
    }
    if (span.digits && span.end < text.size() && (text[span.end] == 'e' || text[span.end] == 'E')) {
        size_t exponent = span.end + 1;
        if (exponent < text.size() && (text[exponent] == '+' || text[exponent] == '-'))
            ++exponent;
        const size_t exponentEnd = skipDigits(text, exponent);
        if (exponentEnd > exponent)
            span.end = exponentEnd;
    }
    return span;
}

// True when `text` is one number with nothing but white space around it.
bool isNumber(const std::string& text)
{
    const NumberSpan span = scanNumber(text);
    if (!span.digits)
        return false;
    for (size_t at = span.end; at < text.size(); ++at)
        if (!std::isspace(static_cast<unsigned char>(text[at])))
            return false;
    return true;
}

} // namespace

double DialogScript::readNumber(const std::string& text)
{
    const NumberSpan found = scanNumber(text);
    if (!found.digits)
        return 0.0;
    const bool negative = found.negative;
    const size_t begin = found.begin;
    const size_t integerEnd = found.integerEnd;
    const size_t end = found.end;

    double value = 0.0;
#ifdef __cpp_lib_to_chars
    const bool outOfRange = std::from_chars(text.data() + begin, text.data() + end, value, std::chars_format::general).ec
        == std::errc::result_out_of_range;
#else
    // The C++ library of the web build has no floating-point from_chars;
    // strtod reads the same span the same way in the "C" locale the show
    // runs in.
    const std::string span = text.substr(begin, end - begin);
    errno = 0;
    value = std::strtod(span.c_str(), nullptr);
    const bool outOfRange = errno == ERANGE && (value == 0.0 || std::isinf(value));
#endif
    if (outOfRange) {
        // Too large reads as infinity, too small as zero, as strtod has it.
        value = decimalOrder(text, begin, integerEnd, end) < 0 ? 0.0 : std::numeric_limits<double>::infinity();
    }
    return negative ? -value : value;
}

void DialogScript::readLine(const std::string& line, double* start, double* end)
{
    const size_t tab = line.find('\t');
    if (tab == std::string::npos) {
        *start = *end = readNumber(line);
        return;
    }
    *start = readNumber(line.substr(0, tab));
    *end = readNumber(line.substr(tab + 1));
}

void DialogScript::read(std::istream& in, std::vector<double>& starts, std::vector<double>& ends)
{
    std::string line;
    while (std::getline(in, line)) {
        double start = 0.0;
        double end = 0.0;
        readLine(line, &start, &end);
        starts.push_back(start);
        ends.push_back(end);
    }
}

DialogScript::Check DialogScript::check(std::istream& in)
{
    Check result;
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        const size_t tab = line.find('\t');
        if (tab == std::string::npos || !isNumber(line.substr(0, tab)) || !isNumber(line.substr(tab + 1))) {
            result.unreadable.push_back(number);
            continue;
        }
        double start = 0.0;
        double end = 0.0;
        readLine(line, &start, &end);
        result.intervals += start < end;
    }
    return result;
}
