#include "EZunPiggerError.h"
#include "TZunPigger.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace {

// Message and 1-based position of the reader fault, or {"", 0} when the text
// loads.
using Fault = std::pair<std::string, int>;

Fault FaultOf(TZunPigger& into, std::string_view text) {
    try {
        into.LoadFromString(text);
    } catch (const EZunPiggerError& error) {
        return {error.what(), error.Position};
    }
    return {"", 0};
}

Fault FaultOf(std::string_view text) {
    TZunPigger element;
    return FaultOf(element, text);
}

const Fault NoFault{"", 0};

Fault Syntax(int position) {
    return {"Syntax error", position};
}

Fault Unclosed(const std::string& name, int position) {
    return {"Unclosed tag: " + name, position};
}

} // namespace

TEST(TreeReaderError, StartTags) {
    EXPECT_EQ(FaultOf("hello"), Syntax(1));
    EXPECT_EQ(FaultOf("  \r\nhello"), Syntax(5)); // leading blanks skipped first
    EXPECT_EQ(FaultOf("   "), Syntax(3));         // the last blank is never skipped
    EXPECT_EQ(FaultOf("xy <ABC"), Syntax(1));     // where the search for '<' began
    EXPECT_EQ(FaultOf("<R><ABC"), Syntax(4));
    EXPECT_EQ(FaultOf("<A x"), Syntax(4));  // attribute name without delimiter
    EXPECT_EQ(FaultOf("<A x "), Syntax(5)); // blank as the last character
    EXPECT_EQ(FaultOf("<A "), Syntax(3));
    EXPECT_EQ(FaultOf("<A/x>"), Syntax(4)); // one past the '/'
    EXPECT_EQ(FaultOf("<A x=\"1\"/ >"), Syntax(10));
}

TEST(TreeReaderError, AttributeValues) {
    EXPECT_EQ(FaultOf("<A x=\"abc>"), Syntax(6)); // at the opening quote
    EXPECT_EQ(FaultOf("<A x =  \"abc></A>"), Syntax(9));
    EXPECT_EQ(FaultOf("<A x= abc"), Syntax(7)); // at the value's start
}

TEST(TreeReaderError, ContentAndEndTags) {
    EXPECT_EQ(FaultOf("<A>x"), Syntax(4));
    EXPECT_EQ(FaultOf("<A>   "), Syntax(6));
    EXPECT_EQ(FaultOf("<A><B/>"), Syntax(8));
    EXPECT_EQ(FaultOf("<A><B></A>"), Unclosed("B", 7)); // names the unclosed element
    EXPECT_EQ(FaultOf("<A>text</B>"), Unclosed("A", 8));
    EXPECT_EQ(FaultOf("<AB>\r\n  </A>"), Unclosed("AB", 9));
    EXPECT_EQ(FaultOf("<A></ A>"), Unclosed("A", 4));
    EXPECT_EQ(FaultOf("<A></A x>"), Unclosed("A", 4));
    EXPECT_EQ(FaultOf("<A></A"), Unclosed("A", 4));
    EXPECT_EQ(FaultOf("<A></a \r\n>"), NoFault);
    // With no '<' left, the end-tag test looks at the text's first character.
    EXPECT_EQ(FaultOf("/<A>x"), Unclosed("A", 5));
}

TEST(TreeReaderError, ElementsReadBeforeAFaultStayAttached) {
    TZunPigger root;
    root.LoadFromString("<OLD><GONE/></OLD>");
    EXPECT_EQ(FaultOf(root, "<R><A/><B x=\"1\"/><C>"), Syntax(21));
    ASSERT_EQ(root.ChildCount(), 3);
    EXPECT_EQ(root.Child(0)->Name(), "A");
    EXPECT_EQ(root.Child(1)->GetAttribute("X"), "1");
    EXPECT_EQ(root.Child(2)->Name(), "C");

    // A prolog is read as the root element, which then has no end tag.
    EXPECT_EQ(FaultOf(root, "<?xml version=\"1.0\"?>\r\n<A/>"), Syntax(28));
    EXPECT_EQ(root.Name(), "?XML");
    EXPECT_EQ(root.GetAttribute("version"), "1.0");
    ASSERT_EQ(root.ChildCount(), 1);
    EXPECT_EQ(root.Child(0)->Name(), "A");
}

TEST(TreeReaderError, DeepNestingFailsInsteadOfOverflowingTheStack) {
    std::string deep;
    for (int i = 0; i < 100000; ++i)
        deep += "<a>";
    TZunPigger root;
    // Element number MaxDepth + 1 starts at 3 * MaxDepth + 1.
    EXPECT_EQ(FaultOf(root, deep),
              Fault("Elements nested too deeply", 3 * TZunPigger::MaxDepth + 1));
    int levels = 1;
    for (const TZunPigger* e = &root; e->ChildCount() == 1; e = e->Child(0))
        ++levels;
    EXPECT_EQ(levels, TZunPigger::MaxDepth + 1); // the refused element is attached, unnamed

    std::string allowed;
    for (int i = 0; i < TZunPigger::MaxDepth; ++i)
        allowed += "<a>";
    for (int i = 0; i < TZunPigger::MaxDepth; ++i)
        allowed += "</a>";
    EXPECT_EQ(FaultOf(root, allowed), NoFault);
}
