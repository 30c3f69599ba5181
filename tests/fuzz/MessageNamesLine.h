// What the fuzz targets hold every refusal of a reader to: the message
// names the file and the line, as "path:line: reason".
#pragma once

#include <string>

// True when `message` starts with "path:N: " and a reason follows.
inline bool messageNamesLine(const std::string& message, const std::string& path)
{
    if (message.compare(0, path.size() + 1, path + ":") != 0)
        return false;
    size_t at = path.size() + 1, digits = 0;
    while (at < message.size() && message[at] >= '0' && message[at] <= '9')
        ++at, ++digits;
    return digits > 0 && message.compare(at, 2, ": ") == 0 && message.size() > at + 2;
}
