#pragma once

#include <array>
#include <string_view>

// Scanning steps of the tree document reader over a byte text with 1-based
// positions. The character just past either end of the text reads as zero.
using CharSet = std::array<bool, 256>;

constexpr CharSet MakeCharSet(std::string_view chars) {
    CharSet set{};
    for (char c : chars)
        set[static_cast<unsigned char>(c)] = true;
    return set;
}

class TreeScanner {
public:
    static constexpr CharSet TagNameEnd = MakeCharSet(" />\r\n\t");
    static constexpr CharSet AttributeNameEnd = MakeCharSet(" =/>\r\n\t");
    static constexpr CharSet BareValueEnd = MakeCharSet(" >/\n\r\t");

    static bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 32; }

    static char At(std::string_view text, int position) {
        return position >= 1 && static_cast<std::size_t>(position) <= text.size()
                   ? text[static_cast<std::size_t>(position) - 1]
                   : '\0';
    }

    // Advances over blanks but never past the last character.
    static void SkipBlanks(std::string_view text, int& position) {
        if (position < 1)
            position = 1;
        const int length = static_cast<int>(text.size());
        while (position < length && IsBlank(text[static_cast<std::size_t>(position) - 1]))
            ++position;
    }

    // First position at or after start (at least 1) holding a character of
    // the set, or 0 when there is none up to the end of the text.
    static int Find(std::string_view text, int start, const CharSet& set) {
        const auto* data = reinterpret_cast<const unsigned char*>(text.data());
        for (std::size_t i = start < 1 ? 0 : static_cast<std::size_t>(start) - 1; i < text.size();
             ++i) {
            if (set[data[i]])
                return static_cast<int>(i) + 1;
        }
        return 0;
    }

    static int Find(std::string_view text, int start, char c);

    // The characters from position first up to, not including, position end.
    static std::string_view Slice(std::string_view text, int first, int end) {
        return text.substr(static_cast<std::size_t>(first) - 1,
                           static_cast<std::size_t>(end - first));
    }

    static std::string_view TrimBlanks(std::string_view text);
};
