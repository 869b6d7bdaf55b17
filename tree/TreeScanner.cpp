#include "TreeScanner.h"

#include <cstring>

int TreeScanner::Find(std::string_view text, int start, char c) {
    if (start < 1)
        start = 1;
    const auto from = static_cast<std::size_t>(start) - 1;
    if (from >= text.size())
        return 0;
    const void* hit = std::memchr(text.data() + from, c, text.size() - from);
    return hit ? static_cast<int>(static_cast<const char*>(hit) - text.data()) + 1 : 0;
}

std::string_view TreeScanner::TrimBlanks(std::string_view text) {
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && IsBlank(text[first]))
        ++first;
    while (last > first && IsBlank(text[last - 1]))
        --last;
    return text.substr(first, last - first);
}
