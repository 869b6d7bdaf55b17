// Random trees written and read back must come back equal, up to what the
// text form is known to drop.

#include "TZunPigger.h"
#include "TreeTestSupport.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>

namespace {

class RandomTrees {
public:
    explicit RandomTrees(unsigned seed) : random_(seed) {}

    std::unique_ptr<TZunPigger> Make() {
        auto root = std::make_unique<TZunPigger>();
        Fill(*root, 0);
        return root;
    }

private:
    int Below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }

    std::string Name() {
        static const std::string Letters = "abcdefXYZ0189_-.:";
        std::string name;
        const int length = 1 + Below(8);
        for (int i = 0; i < length; ++i)
            name += Letters[static_cast<std::size_t>(Below(static_cast<int>(Letters.size())))];
        return name;
    }

    // Bytes of every value, with blanks, line breaks and the escaped
    // characters more frequent than chance would make them.
    std::string Bytes(int maxLength) {
        static const std::string Special = " \t\r\n\"%<>/=&\x01\x1f";
        std::string bytes;
        const int length = Below(maxLength + 1);
        for (int i = 0; i < length; ++i) {
            if (Below(3) == 0)
                bytes += Special[static_cast<std::size_t>(Below(static_cast<int>(Special.size())))];
            else
                bytes += static_cast<char>(Below(256));
        }
        return bytes;
    }

    void Fill(TZunPigger& element, int depth) {
        element.SetName(Below(25) == 0 && depth > 0 ? "" : Name());
        static const char* const Pool[] = {"a", "B", "id", "Name", "x-y", "N_NAME"};
        const int attributes = Below(6);
        for (int i = 0; i < attributes; ++i)
            element.AddAttribute(Pool[Below(6)], Below(5) == 0 ? "" : Bytes(12));
        if (Below(2) == 0)
            element.Text = Bytes(20);
        const int children = depth < 4 ? Below(5) : 0;
        for (int i = 0; i < children; ++i)
            Fill(*new TZunPigger(&element), depth + 1);
    }

    std::mt19937 random_;
};

// A stream turns every lone CR or LF into CR LF.
std::string StreamLineBreaks(const std::string& s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\r' || s[i] == '\n') {
            out += "\r\n";
            if (s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n')
                ++i;
        } else {
            out += s[i];
        }
    }
    return out;
}

void ApplyStreamLineBreaks(TZunPigger& element) {
    element.Text = StreamLineBreaks(element.Text);
    std::vector<std::pair<std::string, std::string>> attributes;
    for (int i = 0; i < element.AttributeCount(); ++i)
        attributes.emplace_back(element.AttributeNameAt(i),
                                StreamLineBreaks(element.AttributeValueAt(i)));
    while (element.AttributeCount() > 0)
        element.DeleteAttribute(element.AttributeNameAt(0));
    for (auto& [name, value] : attributes)
        element.AddAttribute(name, value);
    for (int i = 0; i < element.ChildCount(); ++i)
        ApplyStreamLineBreaks(*element.Child(i));
}

TEST(TreeRoundTrip, RandomTreesReadBackFromStringsAndStreams) {
    RandomTrees trees(20261207);
    for (int round = 0; round < 400; ++round) {
        const auto tree = trees.Make();
        const std::string text = tree->SaveToString();
        const auto expected = treetest::AsReadBack(*tree);

        TZunPigger fromString;
        ASSERT_NO_THROW(fromString.LoadFromString(text)) << "round " << round;
        ASSERT_EQ("", treetest::Difference(*expected, fromString)) << "round " << round;

        // Writing what was read gives the same text again, once normalised.
        EXPECT_EQ(expected->SaveToString(), fromString.SaveToString()) << "round " << round;

        std::stringstream stream;
        tree->SaveToStream(stream);
        TZunPigger fromStream;
        ASSERT_NO_THROW(fromStream.LoadFromStream(stream)) << "round " << round;
        const auto expectedFromStream = treetest::AsReadBack(*tree);
        ApplyStreamLineBreaks(*expectedFromStream);
        const auto normalised = treetest::AsReadBack(*expectedFromStream);
        ASSERT_EQ("", treetest::Difference(*normalised, fromStream)) << "round " << round;
    }
}

TEST(TreeRoundTrip, EveryByteSurvivesInValuesAndText) {
    std::string all;
    for (int c = 0; c < 256; ++c)
        all += static_cast<char>(c);
    TZunPigger root;
    root.SetName("ROOT");
    root.AddAttribute("ALL", all);
    root.AddAttribute("ALL", "");
    auto* child = new TZunPigger(&root);
    child->SetName("child");
    child->Text = "x" + all + "y";

    TZunPigger back;
    back.LoadFromString(root.SaveToString());
    EXPECT_EQ("", treetest::Difference(root, back));
    EXPECT_EQ(all, back.AttributeValueAt(0));
    EXPECT_EQ("", back.AttributeValueAt(1));
}

} // namespace
