#pragma once

#include <cstdio>
#include <string>

namespace orv {

// printf-style formatting into a 260-character buffer, the size every text
// of the tool's messages and paths is held in; longer results are cut.
template <class... Args>
std::string printfText(const char* format, Args... args) {
    char buffer[260];
    const int length = std::snprintf(buffer, sizeof buffer, format, args...);
    if (length < 0) {
        return {};
    }
    return std::string(buffer);
}

}  // namespace orv
