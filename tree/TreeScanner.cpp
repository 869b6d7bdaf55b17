#include "TreeScanner.h"

#include <cstring>

void TreeScanner::SkipBlanks(std::string_view text, int& position) {
    const int length = static_cast<int>(text.size());
    if (position < 1)
        position = 1;
    while (position < length && IsBlank(text[static_cast<std::size_t>(position) - 1]))
        ++position;
}

int TreeScanner::Find(std::string_view text, int start, const CharSet& set) {
    if (start < 1)
        start = 1;
    const auto* data = reinterpret_cast<const unsigned char*>(text.data());
    for (std::size_t i = static_cast<std::size_t>(start) - 1; i < text.size(); ++i) {
        if (set[data[i]])
            return static_cast<int>(i) + 1;
    }
    return 0;
}

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
