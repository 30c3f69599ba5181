#include "ArgumentReader.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <utility>

#include "UsageError.h"

namespace {

std::string shown(double value)
{
    std::string text = std::to_string(value);
    text.erase(text.find_last_not_of('0') + 1);
    if (!text.empty() && text.back() == '.')
        text.pop_back();
    return text;
}

} // namespace

ArgumentReader::ArgumentReader(std::vector<std::string> arguments)
    : arguments(std::move(arguments))
{
}

bool ArgumentReader::next()
{
    if (at >= arguments.size())
        return false;
    name = arguments[at++];
    attached.clear();
    hasAttached = false;
    isOperandNow = optionsEnded || name.size() < 2 || name[0] != '-';
    if (isOperandNow)
        return true;
    if (name == "--") {
        optionsEnded = true;
        return next();
    }
    const size_t equals = name.find('=');
    if (name.rfind("--", 0) == 0 && equals != std::string::npos) {
        attached = name.substr(equals + 1);
        name.resize(equals);
        hasAttached = true;
    }
    if (name == "--help" || name == "-h")
        throw InfoRequest{InfoRequest::Help};
    if (name == "--version")
        throw InfoRequest{InfoRequest::Version};
    return true;
}

bool ArgumentReader::isOption(const char* option, const char* alias) const
{
    return !isOperandNow && (name == option || (alias && name == alias));
}

bool ArgumentReader::isFlag(const char* option, const char* alias) const
{
    if (!isOption(option, alias))
        return false;
    if (hasAttached)
        throw UsageError(name + " takes no value");
    return true;
}

std::string ArgumentReader::value()
{
    if (hasAttached)
        return attached;
    if (at >= arguments.size())
        throw UsageError(name + " needs a value");
    return arguments[at++];
}

std::string ArgumentReader::operand() const
{
    if (!isOperandNow)
        throw UsageError("unknown option " + name);
    return name;
}

double ArgumentReader::number(const std::string& what, const std::string& text, double low, double high)
{
    bool read = !text.empty() && !std::isspace(static_cast<unsigned char>(text[0]));
    double value = 0.0;
    if (read) {
        char* end = nullptr;
        errno = 0;
        value = std::strtod(text.c_str(), &end);
        read = errno == 0 && end == text.c_str() + text.size() && std::isfinite(value);
    }
    if (!read || value < low || value > high)
        throw UsageError(what + " wants a number from " + shown(low) + " to " + shown(high) + ", not \"" + text + "\"");
    return value;
}

int ArgumentReader::integer(const std::string& what, const std::string& text, int low, int high)
{
    bool digits = !text.empty() && text.size() <= 9;
    for (char c : text)
        digits = digits && c >= '0' && c <= '9';
    const long value = digits ? std::strtol(text.c_str(), nullptr, 10) : -1L;
    if (!digits || value < low || value > high)
        throw UsageError(what + " wants a whole number from " + std::to_string(low) + " to " + std::to_string(high)
            + ", not \"" + text + "\"");
    return static_cast<int>(value);
}
