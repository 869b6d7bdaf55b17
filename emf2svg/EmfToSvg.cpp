// SPDX-License-Identifier: GPL-2.0-only (see EmfToSvg.h)

#include "EmfToSvg.h"

#include <cstdint>
#include <cstdlib>
#include <memory>

#include <emf2svg.h>
#include <uemf_safe.h>

namespace emfconvert {

namespace {

constexpr std::size_t RecordHeaderSize = 8;
constexpr std::uint32_t EndRecord = 14;
// Zero bytes after the records, so that a read a little past a record's end
// still stays in memory the converter owns.
constexpr std::size_t Padding = 64;

std::uint32_t ReadU32(const std::string& bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = (value << 8) | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
    return value;
}

void WriteU32(std::string& bytes, std::size_t at, std::uint32_t value) {
    for (std::size_t i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

// Checks the records up to the end record and marks the left-out ones as
// skipped; the length of the records, or Refused or CorruptRecord.
Result CheckRecords(std::string& emf, std::size_t length, std::size_t& used) {
    std::size_t at = 0;
    while (at + RecordHeaderSize <= length) {
        std::uint32_t type = ReadU32(emf, at);
        const std::uint32_t size = ReadU32(emf, at + 4);
        if (size < RecordHeaderSize || size % 4 != 0 || size > length - at)
            return Refused;
        const bool leftOut = (type & LeftOutFlag) != 0;
        type &= ~LeftOutFlag;
        if (type != SkippedType) {
            WriteU32(emf, at, type);
            if (U_emf_record_safe(emf.data() + at) == 0)
                return CorruptRecord;
        }
        if (leftOut)
            WriteU32(emf, at, SkippedType);
        at += size;
        if (type == EndRecord) {
            used = at;
            return Converted;
        }
    }
    return Refused;
}

} // namespace

Result ToSvg(std::string emf, int width, int height, std::string& svg) {
    const std::size_t length = emf.size();
    emf.append(Padding, '\0');
    std::size_t used = 0;
    const Result checked = CheckRecords(emf, length, used);
    if (checked != Converted)
        return checked;

    char noNameSpace[] = "";
    generatorOptions options{};
    options.nameSpace = noNameSpace;
    options.verbose = false;
    options.emfplus = false;
    options.svgDelimiter = true;
    options.imgWidth = width;
    options.imgHeight = height;
    char* out = nullptr;
    std::size_t outLength = 0;
    const int converted = emf2svg(emf.data(), used, &out, &outLength, &options);
    const std::unique_ptr<char, decltype(&std::free)> owner(out, &std::free);
    if (converted == 0 || out == nullptr)
        return Refused;
    svg.assign(out, outLength);
    return Converted;
}

} // namespace emfconvert
