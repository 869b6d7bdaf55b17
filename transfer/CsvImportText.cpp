#include "CsvImportText.h"

#include <QStringDecoder>

#include <array>
#include <vector>

namespace {

// Windows-1252 0x80..0x9F; the rest of its upper half is Latin-1.
constexpr std::array<char16_t, 32> Windows1252Low = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// Windows-1251 0x80..0xBF; 0xC0..0xFF are А..я in order.
constexpr std::array<char16_t, 64> Windows1251Low = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409,
    0x2039, 0x040A, 0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0,
    0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB,
    0x00AC, 0x00AD, 0x00AE, 0x0407, 0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6,
    0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457};

bool HasBom(const QByteArray& bytes) {
    return bytes.startsWith("\xEF\xBB\xBF");
}

char16_t CodePageChar(unsigned char byte, CsvImportText::Encoding encoding) {
    if (byte < 0x80)
        return byte;
    if (encoding == CsvImportText::Encoding::Windows1251)
        return byte >= 0xC0 ? char16_t(0x0410 + (byte - 0xC0)) : Windows1251Low[byte - 0x80];
    return byte < 0xA0 ? Windows1252Low[byte - 0x80] : char16_t(byte);
}

bool UpperLetterByte(unsigned char byte) {
    return byte >= 0xC0;
}

} // namespace

CsvImportText::Encoding CsvImportText::GuessEncoding(const QByteArray& bytes) {
    if (HasBom(bytes))
        return Encoding::Utf8Bom;
    if (bytes.isValidUtf8())
        return Encoding::Utf8;
    qsizetype letters = 0;
    qsizetype following = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (!UpperLetterByte(static_cast<unsigned char>(bytes[i])))
            continue;
        ++letters;
        if (i > 0 && UpperLetterByte(static_cast<unsigned char>(bytes[i - 1])))
            ++following;
    }
    return letters > 0 && 2 * following >= letters ? Encoding::Windows1251 : Encoding::Windows1252;
}

QString CsvImportText::EncodingName(Encoding encoding) {
    switch (encoding) {
    case Encoding::Utf8:
        return QStringLiteral("UTF-8");
    case Encoding::Utf8Bom:
        return QStringLiteral("UTF-8 with byte order mark");
    case Encoding::Windows1252:
        return QStringLiteral("Windows-1252");
    case Encoding::Windows1251:
        return QStringLiteral("Windows-1251");
    }
    return {};
}

QByteArray CsvImportText::ToUtf8(const QByteArray& bytes, Encoding encoding) {
    switch (encoding) {
    case Encoding::Utf8Bom:
        return HasBom(bytes) ? bytes.mid(3) : bytes;
    case Encoding::Utf8:
        return bytes;
    case Encoding::Windows1252:
    case Encoding::Windows1251:
        break;
    }
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (const char byte : bytes)
        *out++ = QChar(CodePageChar(static_cast<unsigned char>(byte), encoding));
    return text.toUtf8();
}

char CsvImportText::GuessSeparator(const QByteArray& utf8) {
    constexpr int MaxLines = 20;
    constexpr std::array<char, 3> candidates = {',', ';', '\t'};
    // counts[line][candidate], outside quotes; a quoted field may span lines.
    std::vector<std::array<int, 3>> counts(1, {0, 0, 0});
    bool quoted = false;
    for (qsizetype i = 0; i < utf8.size(); ++i) {
        const char c = utf8[i];
        if (c == '"') {
            quoted = !quoted;
        } else if (!quoted && (c == '\n' || c == '\r')) {
            if (c == '\r' && i + 1 < utf8.size() && utf8[i + 1] == '\n')
                ++i;
            if (i + 1 >= utf8.size() || static_cast<int>(counts.size()) == MaxLines)
                break;
            counts.push_back({0, 0, 0});
        } else if (!quoted) {
            for (std::size_t k = 0; k < candidates.size(); ++k)
                if (c == candidates[k])
                    ++counts.back()[k];
        }
    }
    char best = ',';
    int bestCount = 0;
    bool bestSteady = false;
    for (std::size_t k = 0; k < candidates.size(); ++k) {
        const int first = counts.front()[k];
        if (first == 0)
            continue;
        bool steady = true;
        for (const auto& line : counts)
            steady = steady && line[k] == first;
        if ((steady && !bestSteady) || (steady == bestSteady && first > bestCount)) {
            best = candidates[k];
            bestCount = first;
            bestSteady = steady;
        }
    }
    return best;
}
