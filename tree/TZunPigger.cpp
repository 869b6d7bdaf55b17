#include "TZunPigger.h"

#include "EFileError.h"
#include "EZunPiggerError.h"
#include "FixedBlockPool.h"
#include "TreeEscaping.h"
#include "TreeScanner.h"

#include <algorithm>
#include <climits>
#include <fstream>
#include <istream>
#include <ostream>
#include <stdexcept>

namespace {

const std::string EmptyString;
const std::string SyntaxError = "Syntax error";
constexpr const char* RootIndent = "\r\n";

char UpperAscii(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c;
}

std::string UpperAscii(std::string_view text) {
    std::string result(text);
    for (char& c : result)
        c = UpperAscii(c);
    return result;
}

// Compares a stored (upper-case) name with a lookup key as the key would be
// stored.
bool SameName(const std::string& stored, std::string_view key) {
    if (stored.size() != key.size())
        return false;
    for (std::size_t i = 0; i < key.size(); ++i) {
        if (stored[i] != UpperAscii(key[i]))
            return false;
    }
    return true;
}

bool SameText(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (UpperAscii(a[i]) != UpperAscii(b[i]))
            return false;
    }
    return true;
}

// Every line break (CR LF, lone CR, lone LF) becomes CR LF and a last line
// without one gets one; the text ends at a zero byte.
std::string NormalizeLineBreaks(std::string_view raw) {
    raw = raw.substr(0, raw.find('\0'));
    std::string text;
    text.reserve(raw.size() + raw.size() / 32 + 2);
    std::size_t runStart = 0;
    for (std::size_t i = 0; i < raw.size(); ++i) {
        const char c = raw[i];
        if (c != '\r' && c != '\n')
            continue;
        text.append(raw.data() + runStart, i - runStart);
        text += "\r\n";
        if (c == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n')
            ++i;
        runStart = i + 1;
    }
    text.append(raw.data() + runStart, raw.size() - runStart);
    if (!raw.empty() && raw.back() != '\r' && raw.back() != '\n')
        text += "\r\n";
    return text;
}

std::string ReadAll(std::istream& stream) {
    std::string bytes;
    char chunk[65536];
    while (stream.read(chunk, sizeof chunk) || stream.gcount() > 0)
        bytes.append(chunk, static_cast<std::size_t>(stream.gcount()));
    if (stream.bad())
        throw EFileError("Stream read error");
    return bytes;
}

// Depth of ParseElement calls on this thread.
thread_local int parseDepth = 0;

class DepthGuard {
public:
    DepthGuard() { ++parseDepth; }
    ~DepthGuard() { --parseDepth; }
    DepthGuard(const DepthGuard&) = delete;
    DepthGuard& operator=(const DepthGuard&) = delete;
    bool TooDeep() const { return parseDepth > TZunPigger::MaxDepth; }
};

} // namespace

TZunPigger::TZunPigger(TZunPigger* parent) : parent_(parent) {
    if (parent)
        parent->AppendChild(this);
}

TZunPigger::~TZunPigger() {
    if (parent_)
        parent_->DetachChild(this);
    parent_ = nullptr;
    DeleteChildren();
}

// Sanitizer builds leave every element to the general heap, where a use
// after free is detected.
#ifdef VELMORA_NO_POOL
void* TZunPigger::operator new(std::size_t size) {
    return ::operator new(size);
}
void TZunPigger::operator delete(void* block, std::size_t) noexcept {
    ::operator delete(block);
}
#else
void* TZunPigger::operator new(std::size_t size) {
    if (size == sizeof(TZunPigger))
        return FixedBlockPool<sizeof(TZunPigger)>::Allocate();
    return ::operator new(size);
}

void TZunPigger::operator delete(void* block, std::size_t size) noexcept {
    if (size == sizeof(TZunPigger))
        FixedBlockPool<sizeof(TZunPigger)>::Release(block);
    else
        ::operator delete(block);
}
#endif

TZunPigger* TZunPigger::Create(TZunPigger* parent) const {
    return new TZunPigger(parent);
}

// Deletes the whole subtree without recursion, in the reverse of the order a
// reader creates elements (children last to first, each before its parent),
// which lets the heap give the memory back cheaply.
void TZunPigger::DeleteChildren() {
    decltype(children_) pending;
    pending.swap(children_);
    while (!pending.empty()) {
        TZunPigger* element = pending.back();
        element->parent_ = nullptr;
        if (!element->children_.empty()) {
            pending.insert(pending.end(), element->children_.begin(), element->children_.end());
            element->children_.clear();
            continue;
        }
        pending.pop_back();
        delete element;
    }
}

void TZunPigger::Clear() {
    DeleteChildren();
    name_.clear();
    Text.clear();
    attributes_.clear();
}

void TZunPigger::SetName(std::string_view name) {
    name_.assign(TreeScanner::TrimBlanks(name));
    for (char& c : name_)
        c = UpperAscii(c);
}

void TZunPigger::SetParent(TZunPigger* newParent) {
    if (newParent == parent_)
        return;
    for (const TZunPigger* e = newParent; e; e = e->parent_) {
        if (e == this)
            throw std::invalid_argument("An element cannot become a child of its own subtree");
    }
    if (parent_)
        parent_->DetachChild(this);
    parent_ = newParent;
    if (newParent)
        newParent->AppendChild(this);
}

void TZunPigger::AppendChild(TZunPigger* child) {
    if (children_.empty())
        children_.reserve(4);
    children_.push_back(child);
}

std::string TZunPigger::Indent() const {
    std::size_t depth = 0;
    for (const TZunPigger* e = parent_; e; e = e->parent_)
        ++depth;
    return RootIndent + std::string(depth, '\t');
}

void TZunPigger::DetachChild(const TZunPigger* child) {
    auto found = std::find(children_.rbegin(), children_.rend(), child);
    if (found != children_.rend())
        children_.erase(std::next(found).base());
}

void TZunPigger::DeleteChild(TZunPigger* child) {
    if (!child)
        return;
    child->SetParent(nullptr);
    delete child;
}

TZunPigger* TZunPigger::Child(int index) const {
    if (index < 0 || index >= ChildCount())
        return nullptr;
    return children_[static_cast<std::size_t>(index)];
}

int TZunPigger::AttributeIndex(std::string_view name) const {
    for (std::size_t i = 0; i < attributes_.size(); ++i) {
        if (SameName(attributes_[i].name, name))
            return static_cast<int>(i);
    }
    return -1;
}

const std::string& TZunPigger::GetAttribute(std::string_view name) const {
    const int index = AttributeIndex(name);
    return index < 0 ? EmptyString : attributes_[static_cast<std::size_t>(index)].value;
}

void TZunPigger::SetAttribute(std::string_view name, std::string_view value) {
    if (value.empty()) {
        DeleteAttribute(name);
        return;
    }
    const int index = AttributeIndex(name);
    if (index >= 0) {
        attributes_[static_cast<std::size_t>(index)].value = value;
        return;
    }
    AddAttribute(name, std::string(value));
}

void TZunPigger::AddAttribute(std::string_view name, std::string value) {
    if (attributes_.empty())
        attributes_.reserve(4);
    attributes_.push_back({UpperAscii(name), std::move(value)});
}

void TZunPigger::DeleteAttribute(std::string_view name) {
    const int index = AttributeIndex(name);
    if (index < 0)
        return;
    attributes_.erase(attributes_.begin() + index);
}

const std::string& TZunPigger::AttributeValueAt(int index) const {
    if (index < 0 || index >= AttributeCount())
        throw std::out_of_range("List index out of bounds (" + std::to_string(index) + ")");
    return attributes_[static_cast<std::size_t>(index)].value;
}

const std::string& TZunPigger::AttributeNameAt(int index) const {
    if (index < 0 || index >= AttributeCount())
        throw std::out_of_range("List index out of bounds (" + std::to_string(index) + ")");
    return attributes_[static_cast<std::size_t>(index)].name;
}

TZunPigger* TZunPigger::FindChild(std::string_view name) const {
    for (TZunPigger* child : children_) {
        if (SameName(child->name_, name))
            return child;
    }
    return nullptr;
}

TZunPigger* TZunPigger::FindChildByAttribute(std::string_view attrName,
                                             std::string_view value) const {
    return FindNextChildByAttribute(nullptr, attrName, value);
}

TZunPigger* TZunPigger::FindNextChildByAttribute(const TZunPigger* after, std::string_view attrName,
                                                 std::string_view value) const {
    auto from = std::find(children_.begin(), children_.end(), after);
    from = from == children_.end() ? children_.begin() : std::next(from);
    for (auto it = from; it != children_.end(); ++it) {
        if (SameText((*it)->GetAttribute(attrName), value))
            return *it;
    }
    return nullptr;
}

bool TZunPigger::IsInSubtree(const TZunPigger* element) const {
    for (const TZunPigger* e = element; e; e = e->parent_) {
        if (e == this)
            return true;
    }
    return false;
}

void TZunPigger::Assign(const TPersistent& source) {
    const auto* from = dynamic_cast<const TZunPigger*>(&source);
    if (!from) {
        TPersistent::Assign(source);
        return;
    }
    if (IsInSubtree(from)) {
        // Clear would destroy the source: copy it out first.
        TZunPigger copy;
        copy.Assign(*from);
        Assign(copy);
        return;
    }
    Clear();
    SetName(from->name_);
    Text = from->Text;
    attributes_ = from->attributes_;
    for (const TZunPigger* child : from->children_)
        child->Create(this)->Assign(*child);
}

// ---------------------------------------------------------------- writer

std::string TZunPigger::SaveToString() const {
    std::string out;
    std::size_t depth = 0;
    for (const TZunPigger* e = parent_; e; e = e->parent_)
        ++depth;
    WriteTo(out, depth);
    return out;
}

void TZunPigger::WriteTo(std::string& out, std::size_t depth) const {
    if (name_.empty())
        return;
    out += RootIndent;
    out.append(depth, '\t');
    out += '<';
    out += name_;
    for (const Attribute& attribute : attributes_) {
        out += ' ';
        out += attribute.name;
        out += "=\"";
        AppendEscaped(out, attribute.value);
        out += '"';
    }
    if (children_.empty() && Text.empty()) {
        out += "/>";
        return;
    }
    out += '>';
    AppendEscaped(out, Text);
    for (const TZunPigger* child : children_)
        child->WriteTo(out, depth + 1);
    out += RootIndent;
    out.append(depth, '\t');
    out += "</";
    out += name_;
    out += '>';
}

void TZunPigger::SaveToStream(std::ostream& stream) const {
    const std::string text = SaveToString();
    if (text.empty())
        return;
    if (!stream.write(text.data(), static_cast<std::streamsize>(text.size())))
        throw EFileError("Stream write error");
}

void TZunPigger::SaveToFile(const std::string& fileName) const {
    std::ofstream file(fileName, std::ios::binary | std::ios::trunc);
    if (!file.is_open())
        throw EFileError::CannotCreate(fileName);
    SaveToStream(file);
    file.close();
    if (file.fail())
        throw EFileError("Cannot write file " + fileName);
}

// ---------------------------------------------------------------- reader

void TZunPigger::LoadFromStream(std::istream& stream) {
    LoadFromString(NormalizeLineBreaks(ReadAll(stream)));
}

void TZunPigger::LoadFromFile(const std::string& fileName) {
    std::ifstream file(fileName, std::ios::binary);
    if (!file.is_open())
        throw EFileError::CannotOpen(fileName);
    std::string bytes;
    try {
        bytes = ReadAll(file);
    } catch (const EFileError&) {
        throw EFileError::CannotOpen(fileName);
    }
    LoadFromString(NormalizeLineBreaks(bytes));
}

void TZunPigger::LoadFromString(std::string_view text) {
    Clear();
    if (text.empty())
        return;
    if (text.size() > static_cast<std::size_t>(INT_MAX / 2))
        Fail("Text too long", 1);
    int position = 1;
    TreeScanner::SkipBlanks(text, position);
    ParseElement(text, position);
}

void TZunPigger::Error(const std::string& message, int position) {
    throw EZunPiggerError(message, position);
}

void TZunPigger::Fail(const std::string& message, int position) {
    Error(message, position);
    throw EZunPiggerError(message, position);
}

// The name as it stands in the text; callers upper-case it.
std::string_view TZunPigger::ReadStartTagName(std::string_view text, int& position) {
    const int start = position;
    const int open = TreeScanner::Find(text, position, '<');
    if (open == 0)
        Fail(SyntaxError, start);
    int first = open + 1;
    TreeScanner::SkipBlanks(text, first);
    const int end = TreeScanner::Find(text, first, TreeScanner::TagNameEnd);
    if (end == 0)
        Fail(SyntaxError, start);
    position = end;
    return TreeScanner::Slice(text, first, end);
}

void TZunPigger::ParseElement(std::string_view text, int& position) {
    const DepthGuard depth;
    if (depth.TooDeep())
        Fail("Elements nested too deeply", position);
    SetName(ReadStartTagName(text, position));
    while (ReadAttribute(text, position)) {
    }
    TreeScanner::SkipBlanks(text, position);
    if (TreeScanner::At(text, position - 1) == '/' && TreeScanner::At(text, position) == '>') {
        position += 1;
        return;
    }
    if (TreeScanner::At(text, position) == '/' && TreeScanner::At(text, position + 1) == '>') {
        position += 2;
        return;
    }
    const char passed = TreeScanner::At(text, position);
    position += 1;
    if (passed != '>')
        Fail(SyntaxError, position);
    while (ReadContentPiece(text, position)) {
    }
    ReadEndTag(text, position);
}

bool TZunPigger::ReadAttribute(std::string_view text, int& position) {
    TreeScanner::SkipBlanks(text, position);
    const char first = TreeScanner::At(text, position);
    if (first == '/' || first == '>')
        return false;
    const int start = position;
    const int end = TreeScanner::Find(text, position, TreeScanner::AttributeNameEnd);
    if (end == 0)
        Fail(SyntaxError, position);
    const std::string_view name = TreeScanner::Slice(text, position, end);
    position = end;
    TreeScanner::SkipBlanks(text, position);
    std::string value;
    if (TreeScanner::At(text, position) == '=') {
        position += 1;
        value = ReadValue(text, position);
    } else if (position == start) {
        // A blank as the last character of the text: the tag never ends.
        Fail(SyntaxError, position);
    }
    AddAttribute(name, std::move(value));
    return true;
}

std::string TZunPigger::ReadValue(std::string_view text, int& position) {
    TreeScanner::SkipBlanks(text, position);
    if (TreeScanner::At(text, position) == '"') {
        const int close = TreeScanner::Find(text, position + 1, '"');
        if (close == 0)
            Fail(SyntaxError, position);
        const std::string_view raw = TreeScanner::Slice(text, position + 1, close);
        position = close + 1;
        return UnescapeText(raw);
    }
    const int end = TreeScanner::Find(text, position, TreeScanner::BareValueEnd);
    if (end == 0)
        Fail(SyntaxError, position);
    const std::string_view raw = TreeScanner::Slice(text, position, end);
    position = end;
    return UnescapeText(raw);
}

bool TZunPigger::ReadContentPiece(std::string_view text, int& position) {
    TreeScanner::SkipBlanks(text, position);
    const int open = TreeScanner::Find(text, position, '<');
    if (open > position) {
        AddText(TreeScanner::Slice(text, position, open));
        position = open;
    }
    if (TreeScanner::At(text, open + 1) == '/')
        return false;
    if (open == 0)
        Fail(SyntaxError, position);
    int peek = position;
    const std::string tagName = UpperAscii(ReadStartTagName(text, peek));
    if (TZunPigger* child = CreateChildFor(tagName)) {
        child->ParseElement(text, position);
        ChildLoaded(child);
    } else {
        TZunPigger scratch;
        scratch.ParseElement(text, position);
    }
    return true;
}

void TZunPigger::ReadEndTag(std::string_view text, int& position) {
    for (;;) {
        TreeScanner::SkipBlanks(text, position);
        const int errorPosition = position;
        const char c = TreeScanner::At(text, position);
        if (c == '<' && TreeScanner::At(text, position + 1) == '/') {
            position += 2;
            // The closing name ends where a start-tag name would, so that every
            // name the writer puts in a start tag closes again.
            const int end = TreeScanner::Find(text, position, TreeScanner::TagNameEnd);
            std::string_view closing;
            if (end != 0) {
                closing = TreeScanner::Slice(text, position, end);
                position = end;
            }
            if (!SameText(closing, name_))
                Fail("Unclosed tag: " + name_, errorPosition);
            TreeScanner::SkipBlanks(text, position);
            if (TreeScanner::At(text, position) != '>')
                Fail("Unclosed tag: " + name_, errorPosition);
            position += 1;
            return;
        }
        if (c == '>' && TreeScanner::At(text, position - 1) == '/') {
            position += 1;
            return;
        }
        if (c != '>')
            Fail("Unclosed tag: " + name_, errorPosition);
        const int open = TreeScanner::Find(text, position, '<');
        if (open == 0)
            return;
        AddText(TreeScanner::Slice(text, position + 1, open));
        position = open;
    }
}

void TZunPigger::AddText(std::string_view piece) {
    const std::string_view trimmed = TreeScanner::TrimBlanks(piece);
    if (trimmed.empty())
        return;
    std::string text = UnescapeText(trimmed);
    if (!AcceptText(text))
        return;
    if (Text.empty())
        Text = std::move(text);
    else
        Text += text;
}

TZunPigger* TZunPigger::CreateChildFor(const std::string& /*tagName*/) {
    return new TZunPigger(this);
}

void TZunPigger::ChildLoaded(TZunPigger* /*child*/) {}

bool TZunPigger::AcceptText(const std::string& /*text*/) {
    return true;
}
