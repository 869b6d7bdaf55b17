// Reads arbitrary bytes as a tree document, from a string and from a stream,
// and checks that whatever was read (all of it, or the part before a reader
// error) is written to a text that reads back to the same tree.

#include "EZunPiggerError.h"
#include "TZunPigger.h"
#include "TreeTestSupport.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string_view>

namespace {

void CheckReadsBack(const TZunPigger& read) {
    const std::string written = read.SaveToString();
    TZunPigger back;
    try {
        back.LoadFromString(written);
    } catch (const EZunPiggerError& e) {
        std::fprintf(stderr, "written text does not read back: %s at position %d\n", e.what(),
                     static_cast<int>(e.Position));
        std::abort();
    }
    const std::string difference = treetest::Difference(*treetest::AsReadBack(read), back);
    if (!difference.empty()) {
        std::fprintf(stderr, "tree read back differs: %s\n", difference.c_str());
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);

    TZunPigger fromString;
    try {
        fromString.LoadFromString(input);
    } catch (const EZunPiggerError&) {
    }
    CheckReadsBack(fromString);

    TZunPigger fromStream;
    std::istringstream stream{std::string(input)};
    try {
        fromStream.LoadFromStream(stream);
    } catch (const EZunPiggerError&) {
    }
    CheckReadsBack(fromStream);
    return 0;
}
