#include "TZunPigger.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

namespace {

// An element class of its own: copies and the virtual constructor must keep
// it, and its live count shows which elements were destroyed.
class TTagged : public TZunPigger {
public:
    explicit TTagged(TZunPigger* parent = nullptr) : TZunPigger(parent) { ++Live; }
    ~TTagged() override { --Live; }
    TZunPigger* Create(TZunPigger* parent) const override { return new TTagged(parent); }
    std::string ClassName() const override { return "TTagged"; }
    static inline int Live = 0;
};

class TOther : public TPersistent {
public:
    std::string ClassName() const override { return "TOther"; }
};

TZunPigger* Add(TZunPigger& parent, std::string_view name) {
    auto* child = new TZunPigger(&parent);
    child->SetName(name);
    return child;
}

std::string ChildNames(const TZunPigger& element) {
    std::string names;
    for (int i = 0; i < element.ChildCount(); ++i)
        names += (i ? " " : "") + element.Child(i)->Name();
    return names;
}

template <class E, class F> std::string ThrownMessage(F action) {
    try {
        action();
    } catch (const E& error) {
        return error.what();
    }
    return "<nothing thrown>";
}

} // namespace

TEST(TreeModel, NamesAreTrimmedAndUpperCasedAndLookupsDoNotTrim) {
    TZunPigger root;
    TZunPigger* table = Add(root, "  table ");
    Add(root, "TABLE");
    EXPECT_EQ(table->Name(), "TABLE");
    EXPECT_EQ(root.FindChild("table"), table); // first of two matches
    EXPECT_EQ(root.FindChild(" table"), nullptr);
    EXPECT_EQ(root.FindChild("tab"), nullptr);

    // Codes 0..32 are trimmed; only a..z change case.
    table->SetName("\x01\t\r\nx-\xe9z\x7f ");
    EXPECT_EQ(table->Name(), "X-\xe9Z\x7f");
    EXPECT_EQ(root.FindChild("x-\xc9z\x7f"), nullptr);
}

TEST(TreeModel, AttributesKeepTheirPlaceAndEmptyValuesDelete) {
    TZunPigger e;
    e.SetAttribute("name", "n");
    e.SetAttribute("Type", "t");
    e.SetAttribute("SIZE", "s");
    e.SetAttribute("type", "t2");
    ASSERT_EQ(e.AttributeCount(), 3);
    EXPECT_EQ(e.AttributeNameAt(1), "TYPE");
    EXPECT_EQ(e.AttributeValueAt(1), "t2");

    e.SetAttribute("type", "");
    EXPECT_EQ(e.GetAttribute("TYPE"), "");
    ASSERT_EQ(e.AttributeCount(), 2);
    EXPECT_EQ(e.AttributeValueAt(1), "s");

    e.DeleteAttribute("NAME");
    e.SetAttribute("name", "again"); // re-added at the end
    EXPECT_EQ(e.AttributeNameAt(1), "NAME");
    EXPECT_EQ(e.AttributeValueAt(0), "s");

    // Attribute names are stored as given apart from case.
    e.SetAttribute(" pad", "p");
    EXPECT_EQ(e.GetAttribute("PAD"), "");
    EXPECT_EQ(e.GetAttribute(" Pad"), "p");

    EXPECT_EQ(ThrownMessage<std::out_of_range>([&] { e.AttributeValueAt(3); }),
              "List index out of bounds (3)");
}

TEST(TreeModel, FindChildByAttributeLooksAtDirectChildrenInOrder) {
    TZunPigger root;
    TZunPigger* plain = Add(root, "A");
    TZunPigger* lower = Add(root, "B");
    TZunPigger* upper = Add(root, "C");
    TZunPigger* last = Add(root, "D");
    lower->SetAttribute("k", "abc");
    upper->SetAttribute("K", "ABC");
    last->SetAttribute("other", "abc");
    Add(*plain, "DEEP")->SetAttribute("k", "deep");

    EXPECT_EQ(root.FindChildByAttribute("k", ""), plain); // missing counts as empty
    EXPECT_EQ(root.FindChildByAttribute("K", "aBc"), lower);
    EXPECT_EQ(root.FindChildByAttribute("K", "ab"), nullptr);
    EXPECT_EQ(root.FindChildByAttribute("K", "deep"), nullptr);

    EXPECT_EQ(root.FindNextChildByAttribute(lower, "k", "abc"), upper);
    EXPECT_EQ(root.FindNextChildByAttribute(upper, "k", "abc"), nullptr);
    EXPECT_EQ(root.FindNextChildByAttribute(plain, "k", ""), last);
    EXPECT_EQ(root.FindNextChildByAttribute(last, "k", ""), nullptr);
    TZunPigger stranger;
    EXPECT_EQ(root.FindNextChildByAttribute(&stranger, "k", "ABC"), lower);
}

TEST(TreeModel, DestroyingElementsDetachesThemAndTheirSubtrees) {
    TTagged::Live = 0;
    {
        TZunPigger root;
        TZunPigger* a = Add(root, "A");
        TZunPigger* b = Add(root, "B");
        TZunPigger* c = Add(root, "C");
        new TTagged(new TTagged(b));
        new TTagged(c);
        ASSERT_EQ(TTagged::Live, 3);

        delete b;
        EXPECT_EQ(ChildNames(root), "A C");
        EXPECT_EQ(TTagged::Live, 1);
        TZunPigger other; // DeleteChild works from any element
        other.DeleteChild(c);
        EXPECT_EQ(ChildNames(root), "A");
        EXPECT_EQ(TTagged::Live, 0);
        EXPECT_EQ(root.Child(1), nullptr);
        EXPECT_EQ(root.Child(-1), nullptr);
        new TTagged(new TTagged(a)); // destroyed with the root
    }
    EXPECT_EQ(TTagged::Live, 0);
}

TEST(TreeModel, SetParentMovesTheSubtreeAndRecomputesIndents) {
    TZunPigger root;
    TZunPigger* a = Add(root, "A");
    TZunPigger* b = Add(*a, "B");
    TZunPigger* c = Add(*b, "C");
    TZunPigger* d = Add(root, "D");
    TZunPigger* e = Add(*d, "E");
    EXPECT_EQ(c->Indent(), "\r\n\t\t\t");

    a->SetParent(e);
    EXPECT_EQ(ChildNames(root), "D");
    EXPECT_EQ(a->Parent(), e);
    EXPECT_EQ(a->Indent(), "\r\n\t\t\t");
    EXPECT_EQ(b->Indent(), "\r\n\t\t\t\t");
    EXPECT_EQ(c->Indent(), "\r\n\t\t\t\t\t");

    Add(root, "F");
    d->SetParent(&root); // already its parent: stays in place
    EXPECT_EQ(ChildNames(root), "D F");

    EXPECT_THROW(a->SetParent(a), std::invalid_argument);
    EXPECT_THROW(a->SetParent(c), std::invalid_argument);
    EXPECT_EQ(a->Parent(), e);
    EXPECT_EQ(ChildNames(*e), "A");

    a->SetParent(nullptr);
    const std::unique_ptr<TZunPigger> owned(a);
    EXPECT_EQ(a->Indent(), "\r\n");
    EXPECT_EQ(c->Indent(), "\r\n\t\t");
}

TEST(TreeModel, AssignMakesAnIndependentDeepCopyKeepingChildClasses) {
    TZunPigger source;
    source.LoadFromString(R"(<src x="1" X="2" e=""><a>t</a><b/></src>)");
    auto* tag = new TTagged(source.Child(0));
    tag->SetName("tag");
    (new TTagged(tag))->SetName("in");
    const std::string before = source.SaveToString();

    TZunPigger holder;
    TZunPigger* copy = Add(holder, "OLD");
    Add(*copy, "GONE");
    copy->Assign(source);
    EXPECT_EQ(copy->SaveToString(), "\r\n\t<SRC X=\"1\" X=\"2\" E=\"\">\r\n\t\t<A>t"
                                    "\r\n\t\t\t<TAG>\r\n\t\t\t\t<IN/>\r\n\t\t\t</TAG>"
                                    "\r\n\t\t</A>\r\n\t\t<B/>\r\n\t</SRC>");
    EXPECT_EQ(copy->Parent(), &holder);
    TZunPigger* tagged = copy->Child(0)->Child(0);
    EXPECT_EQ(tagged->ClassName(), "TTagged");
    EXPECT_EQ(tagged->Child(0)->ClassName(), "TTagged");
    EXPECT_EQ(copy->Child(1)->ClassName(), "TZunPigger");

    copy->SetAttribute("x", "9");
    tagged->SetAttribute("y", "1");
    copy->DeleteChild(copy->Child(1));
    EXPECT_EQ(source.SaveToString(), before);
}

TEST(TreeModel, AssignFromItsOwnSubtreeOrAnotherClassAndClear) {
    TZunPigger root;
    root.LoadFromString("<r a=\"1\"><a b=\"2\">t<c/></a></r>");
    root.Assign(*root.Child(0));
    EXPECT_EQ(root.SaveToString(), "\r\n<A B=\"2\">t\r\n\t<C/>\r\n</A>");

    const TOther other;
    EXPECT_EQ(ThrownMessage<std::invalid_argument>([&] { root.Assign(other); }),
              "Cannot assign a TOther to a TZunPigger");
    TTagged tagged;
    EXPECT_EQ(ThrownMessage<std::invalid_argument>([&] { tagged.Assign(other); }),
              "Cannot assign a TOther to a TTagged");

    root.Clear();
    EXPECT_EQ(root.Indent(), "\r\n");
    EXPECT_EQ(root.Name(), "");
    EXPECT_EQ(root.Text, "");
    EXPECT_EQ(root.AttributeCount() + root.ChildCount(), 0);
}
