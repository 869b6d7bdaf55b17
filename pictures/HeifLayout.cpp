#include "HeifLayout.h"

#include "EPictureError.h"
#include "PictureLimits.h"

#include <cstdint>
#include <map>
#include <optional>
#include <utility>
#include <vector>

namespace {

[[noreturn]] void Fail() {
    throw EPictureError("HEIF error: damaged image descriptor");
}

// Big-endian reading within [begin, end) of the file.
class Reader {
public:
    Reader(const QByteArray& bytes, std::uint64_t begin, std::uint64_t end)
        : bytes_(bytes), at_(begin), end_(end) {}

    std::uint64_t At() const { return at_; }
    std::uint64_t End() const { return end_; }
    bool AtEnd() const { return at_ >= end_; }

    std::uint64_t Read(int size) {
        if (size < 0 || size > 8 || end_ - at_ < static_cast<std::uint64_t>(size))
            Fail();
        std::uint64_t value = 0;
        for (int i = 0; i < size; ++i)
            value = (value << 8) | static_cast<std::uint8_t>(bytes_[static_cast<qsizetype>(at_++)]);
        return value;
    }
    void Skip(std::uint64_t count) {
        if (end_ - at_ < count)
            Fail();
        at_ += count;
    }

private:
    const QByteArray& bytes_;
    std::uint64_t at_;
    std::uint64_t end_;
};

struct Box {
    std::uint32_t type;
    std::uint64_t body; // where its contents begin
    std::uint64_t end;
};

constexpr std::uint32_t FourCc(const char (&text)[5]) {
    return (std::uint32_t(std::uint8_t(text[0])) << 24) |
           (std::uint32_t(std::uint8_t(text[1])) << 16) |
           (std::uint32_t(std::uint8_t(text[2])) << 8) | std::uint32_t(std::uint8_t(text[3]));
}

std::vector<Box> Children(const QByteArray& bytes, std::uint64_t begin, std::uint64_t end) {
    std::vector<Box> boxes;
    Reader reader(bytes, begin, end);
    while (!reader.AtEnd()) {
        const std::uint64_t start = reader.At();
        std::uint64_t size = reader.Read(4);
        const auto type = static_cast<std::uint32_t>(reader.Read(4));
        if (size == 1)
            size = reader.Read(8);
        else if (size == 0)
            size = end - start;
        const std::uint64_t body = reader.At();
        if (size < body - start || size > end - start)
            Fail();
        boxes.push_back({type, body, start + size});
        reader.Skip(start + size - body);
    }
    return boxes;
}

struct Location {
    int method = 0; // 0: in the file, 1: in idat
    std::uint64_t base = 0;
    std::vector<std::pair<std::uint64_t, std::uint64_t>> extents; // offset, length
};

std::map<std::uint32_t, Location> ReadIloc(const QByteArray& bytes, const Box& box) {
    Reader r(bytes, box.body, box.end);
    const int version = static_cast<int>(r.Read(1));
    r.Skip(3);
    const auto sizes = r.Read(2);
    const int offsetSize = static_cast<int>(sizes >> 12);
    const int lengthSize = static_cast<int>((sizes >> 8) & 15);
    const int baseSize = static_cast<int>((sizes >> 4) & 15);
    const int indexSize = version >= 1 ? static_cast<int>(sizes & 15) : 0;
    const std::uint64_t count = r.Read(version < 2 ? 2 : 4);
    std::map<std::uint32_t, Location> items;
    for (std::uint64_t i = 0; i < count; ++i) {
        const auto id = static_cast<std::uint32_t>(r.Read(version < 2 ? 2 : 4));
        Location location;
        if (version >= 1)
            location.method = static_cast<int>(r.Read(2) & 15);
        r.Skip(2); // data reference
        location.base = r.Read(baseSize);
        const std::uint64_t extents = r.Read(2);
        for (std::uint64_t e = 0; e < extents; ++e) {
            r.Skip(static_cast<std::uint64_t>(indexSize));
            const std::uint64_t offset = r.Read(offsetSize);
            const std::uint64_t length = r.Read(lengthSize);
            location.extents.emplace_back(offset, length);
        }
        items[id] = location;
    }
    return items;
}

// Grid and overlay images: item ID, and whether it is a grid.
std::map<std::uint32_t, bool> ReadDerivedItems(const QByteArray& bytes, const Box& box) {
    Reader r(bytes, box.body, box.end);
    const int version = static_cast<int>(r.Read(1));
    r.Skip(3);
    r.Skip(version == 0 ? 2 : 4); // entry count: the boxes that follow say it
    std::map<std::uint32_t, bool> items;
    for (const Box& entry : Children(bytes, r.At(), box.end)) {
        if (entry.type != FourCc("infe"))
            continue;
        Reader e(bytes, entry.body, entry.end);
        const int entryVersion = static_cast<int>(e.Read(1));
        e.Skip(3);
        if (entryVersion < 2)
            continue; // no item types before version 2
        const auto id = static_cast<std::uint32_t>(e.Read(entryVersion == 2 ? 2 : 4));
        e.Skip(2); // protection index
        const auto type = static_cast<std::uint32_t>(e.Read(4));
        if (type == FourCc("grid") || type == FourCc("iovl"))
            items[id] = type == FourCc("grid");
    }
    return items;
}

} // namespace

void CheckHeifLayout(const QByteArray& bytes) {
    const auto size = static_cast<std::uint64_t>(bytes.size());
    std::optional<Box> meta;
    for (const Box& box : Children(bytes, 0, size))
        if (box.type == FourCc("meta"))
            meta = box;
    if (!meta)
        return; // libheif refuses it
    std::map<std::uint32_t, bool> derived;
    std::map<std::uint32_t, Location> locations;
    std::optional<Box> idat;
    for (const Box& box : Children(bytes, meta->body + 4, meta->end)) {
        if (box.type == FourCc("iinf"))
            derived = ReadDerivedItems(bytes, box);
        else if (box.type == FourCc("iloc"))
            locations = ReadIloc(bytes, box);
        else if (box.type == FourCc("idat"))
            idat = box;
    }
    // Every extent within the file, or within idat.
    for (const auto& [id, location] : locations) {
        const std::uint64_t limit =
            location.method == 1 ? (idat ? idat->end - idat->body : 0) : size;
        if (location.method != 0 && location.method != 1)
            Fail();
        for (const auto& [offset, length] : location.extents) {
            if (location.base > limit || offset > limit - location.base ||
                length > limit - location.base - offset)
                Fail();
        }
    }
    for (const auto& [id, grid] : derived) {
        const auto found = locations.find(id);
        if (found == locations.end() || found->second.extents.empty())
            Fail();
        const Location& location = found->second;
        // The descriptor's first bytes, in the first extent.
        std::uint64_t begin = location.base + location.extents.front().first;
        std::uint64_t limit = size;
        if (location.method == 1) {
            if (!idat)
                Fail();
            begin += idat->body;
            limit = idat->end;
        } else if (location.method != 0) {
            Fail();
        }
        if (begin > limit)
            Fail();
        const std::uint64_t length = location.extents.front().second;
        Reader r(bytes, begin, length == 0 || length > limit - begin ? limit : begin + length);
        r.Skip(1); // version
        const int fieldSize = (r.Read(1) & 1) != 0 ? 4 : 2;
        // A grid gives its rows and columns, an overlay its canvas colour.
        r.Skip(grid ? 2 : 8);
        const std::uint64_t width = r.Read(fieldSize);
        const std::uint64_t height = r.Read(fieldSize);
        CheckPictureSize(static_cast<std::int64_t>(width), static_cast<std::int64_t>(height));
        if (!FitsJpeg(static_cast<std::int64_t>(width), static_cast<std::int64_t>(height)))
            throw EPictureError("Picture is too large");
    }
}
