#pragma once

#include "PoolAllocator.h"
#include "TPersistent.h"

#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

// An element of the program's tree documents: an upper-case name, ordered
// string attributes, a text content and ordered owned children, with a
// percent-escaped markup text form. Characters are bytes.
//
// Element and attribute names are stored with the ASCII letters upper-cased
// and looked up the same way. The children list owns its elements: deleting
// an element detaches it from its parent and deletes its subtree.
class TZunPigger : public TPersistent {
public:
    // The reader refuses documents nested deeper than this many elements
    // instead of running out of stack.
    static constexpr int MaxDepth = 1000;

    explicit TZunPigger(TZunPigger* parent = nullptr);
    ~TZunPigger() override;
    TZunPigger(const TZunPigger&) = delete;
    TZunPigger& operator=(const TZunPigger&) = delete;

    // Text content; nothing transforms it on assignment.
    std::string Text;

    const std::string& Name() const { return name_; }
    // What the writer puts before the start and end tags: CR LF, then one
    // TAB per level of depth (the parent's indent and one TAB).
    std::string Indent() const;
    TZunPigger* Parent() const { return parent_; }

    // Elements of this class come from a pool of equal-sized blocks; derived
    // classes of another size use the general heap.
    static void* operator new(std::size_t size);
    static void operator delete(void* block, std::size_t size) noexcept;

    // Virtual constructor: a new element of this element's own class,
    // attached to parent when one is given.
    virtual TZunPigger* Create(TZunPigger* parent) const;
    void Assign(const TPersistent& source) override;
    std::string ClassName() const override { return "TZunPigger"; }

    // Deletes every child and empties name, text and attributes; the parent
    // and indent stay.
    virtual void Clear();
    virtual void SetParent(TZunPigger* newParent);
    // Stores the name with characters 0..32 trimmed from both ends and a..z
    // upper-cased.
    void SetName(std::string_view name);

    void DeleteChild(TZunPigger* child);
    int ChildCount() const { return static_cast<int>(children_.size()); }
    // The child at a 0-based index, or nullptr when the index is out of range.
    TZunPigger* Child(int index) const;

    // Empty when there is no such attribute. Looks at the first of duplicates.
    const std::string& GetAttribute(std::string_view name) const;
    // An empty value deletes the attribute; an existing one keeps its place.
    void SetAttribute(std::string_view name, std::string_view value);
    void DeleteAttribute(std::string_view name);
    // Appends the pair as it stands, as the reader does: duplicates and empty
    // values included.
    void AddAttribute(std::string_view name, std::string value);
    int AttributeCount() const { return static_cast<int>(attributes_.size()); }
    // Throw std::out_of_range("List index out of bounds (<index>)").
    const std::string& AttributeValueAt(int index) const;
    const std::string& AttributeNameAt(int index) const;

    // Searches among the direct children only; the first match wins.
    TZunPigger* FindChild(std::string_view name) const;
    TZunPigger* FindChildByAttribute(std::string_view attrName, std::string_view value) const;
    TZunPigger* FindNextChildByAttribute(const TZunPigger* after, std::string_view attrName,
                                         std::string_view value) const;

    // Replaces the whole content of this element with the element read from
    // text; raises EZunPiggerError at the first fault, keeping what was read.
    virtual void LoadFromString(std::string_view text);
    // Empty when Name is empty.
    virtual std::string SaveToString() const;
    // Reads to the end of the stream; line breaks of any kind become CR LF,
    // a zero byte ends the text.
    void LoadFromStream(std::istream& stream);
    void SaveToStream(std::ostream& stream) const;
    // File failures raise EFileError ("Cannot open file <name>",
    // "Cannot create file <name>").
    void LoadFromFile(const std::string& fileName);
    void SaveToFile(const std::string& fileName) const;

    // Reads this element from text starting at the 1-based position and
    // moves the position past it.
    virtual void ParseElement(std::string_view text, int& position);
    // The element that is to receive a child read from the text, already
    // attached, or nullptr to read the child and throw it away.
    virtual TZunPigger* CreateChildFor(const std::string& tagName);
    virtual void ChildLoaded(TZunPigger* child);
    virtual bool AcceptText(const std::string& text);
    // Raises EZunPiggerError.
    virtual void Error(const std::string& message, int position);

protected:
    // Reports a reader fault through Error and never returns.
    [[noreturn]] void Fail(const std::string& message, int position);

private:
    int AttributeIndex(std::string_view name) const;
    bool IsInSubtree(const TZunPigger* element) const;
    void DeleteChildren();
    void AppendChild(TZunPigger* child);
    void DetachChild(const TZunPigger* child);
    void WriteTo(std::string& out, std::size_t depth) const;

    std::string_view ReadStartTagName(std::string_view text, int& position);
    bool ReadAttribute(std::string_view text, int& position);
    std::string ReadValue(std::string_view text, int& position);
    bool ReadContentPiece(std::string_view text, int& position);
    void ReadEndTag(std::string_view text, int& position);
    void AddText(std::string_view piece);

    struct Attribute {
        std::string name;
        std::string value;
    };

    std::string name_;
    TZunPigger* parent_ = nullptr;
    std::vector<Attribute, PoolAllocator<Attribute>> attributes_;
    std::vector<TZunPigger*, PoolAllocator<TZunPigger*>> children_;
};
