#include "TreeEscaping.h"

#include <array>

namespace {

constexpr std::array<bool, 256> MakeEscapedSet() {
    std::array<bool, 256> set{};
    for (int c = 0; c < 32; ++c)
        set[c] = c != '\t' && c != '\n' && c != '\r';
    set['"'] = set['%'] = set['<'] = set['>'] = true;
    return set;
}

constexpr std::array<bool, 256> Escaped = MakeEscapedSet();

int HexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

void AppendEscaped(std::string& out, std::string_view text) {
    static constexpr char Digits[] = "0123456789ABCDEF";
    std::size_t runStart = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (!Escaped[c])
            continue;
        out.append(text.data() + runStart, i - runStart);
        const char code[3] = {'%', Digits[c >> 4], Digits[c & 15]};
        out.append(code, 3);
        runStart = i + 1;
    }
    out.append(text.data() + runStart, text.size() - runStart);
}

std::string EscapeText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    AppendEscaped(out, text);
    return out;
}

std::string UnescapeText(std::string_view text) {
    std::size_t percent = text.find('%');
    if (percent == std::string_view::npos)
        return std::string(text);
    std::string out;
    out.reserve(text.size());
    std::size_t runStart = 0;
    while (percent != std::string_view::npos) {
        const int high = percent + 1 < text.size() ? HexValue(text[percent + 1]) : -1;
        const int low = percent + 2 < text.size() ? HexValue(text[percent + 2]) : -1;
        if (high >= 0 && low >= 0) {
            out.append(text.data() + runStart, percent - runStart);
            out.push_back(static_cast<char>(high * 16 + low));
            runStart = percent + 3;
            percent = text.find('%', runStart);
        } else {
            percent = text.find('%', percent + 1);
        }
    }
    out.append(text.data() + runStart, text.size() - runStart);
    return out;
}
