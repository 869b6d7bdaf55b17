#include "TZunPigger.h"
#include "TreeEscaping.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

namespace {

TZunPigger* Add(TZunPigger& parent, std::string_view name) {
    auto* child = new TZunPigger(&parent);
    child->SetName(name);
    return child;
}

// Records what the reader hands to the overridable operations; children of
// the tag SKIP are read and thrown away, and the text "drop" is refused.
class TRecorder : public TZunPigger {
public:
    using TZunPigger::TZunPigger;
    TZunPigger* CreateChildFor(const std::string& tagName) override {
        Asked.push_back(tagName);
        return tagName == "SKIP" ? nullptr : new TRecorder(this);
    }
    void ChildLoaded(TZunPigger* child) override {
        Loaded.push_back(child->Name() + ":" + std::to_string(child->ChildCount()));
    }
    bool AcceptText(const std::string& text) override {
        Offered.push_back(text);
        return text != "drop";
    }
    std::vector<std::string> Asked, Loaded, Offered;
};

using Strings = std::vector<std::string>;

} // namespace

TEST(TreeText, WriterLayout) {
    TZunPigger root;
    root.SetName("root");
    root.SetAttribute("a", "1");
    root.Text = "x";
    Add(root, "child");
    EXPECT_EQ(root.SaveToString(), "\r\n<ROOT A=\"1\">x\r\n\t<CHILD/>\r\n</ROOT>");

    TZunPigger* second = Add(root, "second");
    second->Text = "only text";
    Add(*Add(root, ""), "HIDDEN")->Text = "lost";
    EXPECT_EQ(root.SaveToString(), "\r\n<ROOT A=\"1\">x\r\n\t<CHILD/>"
                                   "\r\n\t<SECOND>only text\r\n\t</SECOND>\r\n</ROOT>");

    // Children with empty names still make the element non-empty.
    TZunPigger holder;
    holder.SetName("H");
    Add(holder, "");
    EXPECT_EQ(holder.SaveToString(), "\r\n<H>\r\n</H>");

    TZunPigger nameless;
    nameless.Text = "t";
    Add(nameless, "A");
    EXPECT_EQ(nameless.SaveToString(), ""); // text and children are not enough
}

TEST(TreeText, EscapingCodesAndRawCharacters) {
    for (int c = 0; c < 256; ++c) {
        const std::string one(1, static_cast<char>(c));
        const bool coded = (c < 32 && c != 9 && c != 10 && c != 13) || c == '"' || c == '%' ||
                           c == '<' || c == '>';
        char code[4];
        std::snprintf(code, sizeof code, "%%%02X", c);
        EXPECT_EQ(EscapeText(one), coded ? std::string(code) : one) << "character " << c;
    }

    TZunPigger e;
    e.SetName("e");
    e.SetAttribute("v", "\"%<>\x01\t\r\n&'/=\x7f\xff");
    e.Text = "<%\x01>";
    const std::string written = e.SaveToString();
    EXPECT_EQ(written, "\r\n<E V=\"%22%25%3C%3E%01\t\r\n&'/=\x7f\xff\">%3C%25%01%3E\r\n</E>");
    e.LoadFromString(written);
    EXPECT_EQ(e.GetAttribute("v"), "\"%<>\x01\t\r\n&'/=\x7f\xff");
    EXPECT_EQ(e.Text, "<%\x01>");
}

TEST(TreeText, UnescapeKeepsPercentSignsWithoutTwoHexDigits) {
    EXPECT_EQ(UnescapeText("%41%42c"), "ABc");
    EXPECT_EQ(UnescapeText("%2541"), "%41"); // not scanned again
    EXPECT_EQ(UnescapeText("%%41"), "%A");
    EXPECT_EQ(UnescapeText("%"), "%");
    EXPECT_EQ(UnescapeText("a%4"), "a%4");
    EXPECT_EQ(UnescapeText("%zz"), "%zz");
    EXPECT_EQ(UnescapeText("%4g"), "%4g");
    EXPECT_EQ(UnescapeText("%4a"), "%4a"); // lower-case digits are not codes
}

TEST(TreeText, ReaderAcceptsLooseStartTagsAndValues) {
    TZunPigger e;
    e.LoadFromString("\xEF\xBB\xBFjunk\r\n< root Flag x = 1 y=\"<a b>\" Y=2 v=\" v\r\n\"></Root >"
                     "ignored <<");
    EXPECT_EQ(e.Name(), "ROOT");
    ASSERT_EQ(e.AttributeCount(), 5);
    EXPECT_EQ(e.AttributeNameAt(0), "FLAG");
    EXPECT_EQ(e.AttributeValueAt(0), "");
    EXPECT_EQ(e.GetAttribute("x"), "1");
    EXPECT_EQ(e.GetAttribute("y"), "<a b>"); // the first of two
    EXPECT_EQ(e.AttributeValueAt(3), "2");
    EXPECT_EQ(e.AttributeValueAt(4), " v\r\n");
    EXPECT_EQ(e.ChildCount(), 0);

    e.LoadFromString("<A B=1/>");
    EXPECT_EQ(e.GetAttribute("B"), "1");
    EXPECT_EQ(e.SaveToString(), "\r\n<A B=\"1\"/>");
    e.LoadFromString("<a f x=\"\" />");
    EXPECT_EQ(e.SaveToString(), "\r\n<A F=\"\" X=\"\"/>");

    // The end tag name runs to the tag-name delimiters, as the start tag's does.
    e.LoadFromString("<a=b>x</A=B>");
    EXPECT_EQ(e.Name(), "A=B");
    EXPECT_EQ(e.Text, "x");
}

TEST(TreeText, ReaderJoinsTrimmedTextPiecesAroundChildren) {
    TZunPigger e;
    e.LoadFromString("<a>\r\n  one %20\r\n  <b>inner</B>\t two\r\n<c/> %01</a>");
    EXPECT_EQ(e.Text, "one  two\x01");
    EXPECT_EQ(e.SaveToString(), "\r\n<A>one  two%01\r\n\t<B>inner\r\n\t</B>\r\n\t<C/>\r\n</A>");

    // Loading replaces the content of a child but keeps its place.
    TZunPigger root;
    TZunPigger* child = Add(root, "OLD");
    child->SetAttribute("old", "1");
    child->LoadFromString("<c><d/></c>");
    EXPECT_EQ(child->Parent(), &root);
    EXPECT_EQ(child->SaveToString(), "\r\n\t<C>\r\n\t\t<D/>\r\n\t</C>");
}

TEST(TreeText, DerivedElementsChooseChildrenAndText) {
    TRecorder root;
    root.LoadFromString("<r>keep<a/><Skip x=\"1\">inner<c/></Skip>drop<b><c/></b>%3Cmore</r>");
    EXPECT_EQ(root.Asked, (Strings{"A", "SKIP", "B"}));
    EXPECT_EQ(root.Loaded, (Strings{"A:0", "B:1"}));
    EXPECT_EQ(root.Offered, (Strings{"keep", "drop", "<more"}));
    EXPECT_EQ(root.Text, "keep<more");
    ASSERT_EQ(root.ChildCount(), 2);
    EXPECT_EQ(root.Child(1)->Name(), "B");
    EXPECT_EQ(static_cast<TRecorder*>(root.Child(1))->Loaded, Strings{"C:0"});
}
