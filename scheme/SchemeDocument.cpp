#include "SchemeDocument.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <stdexcept>

namespace {

bool IsNamed(const TZunPigger* element, std::string_view name) {
    return element->Name() == name;
}

std::string Decimal(int value) {
    return std::to_string(value);
}

bool IsBlank(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}

} // namespace

SchemeDocument::SchemeDocument() {
    Reset();
}

std::optional<int> SchemeDocument::ToInt(std::string_view text) {
    if (text.empty() || (text[0] != '-' && (text[0] < '0' || text[0] > '9')))
        return std::nullopt;
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc() || stop != end)
        return std::nullopt;
    return value;
}

int SchemeDocument::Add(int a, int b) {
    const long long sum = static_cast<long long>(a) + b;
    return static_cast<int>(std::clamp<long long>(sum, INT_MIN, INT_MAX));
}

int SchemeDocument::Sub(int a, int b) {
    const long long difference = static_cast<long long>(a) - b;
    return static_cast<int>(std::clamp<long long>(difference, INT_MIN, INT_MAX));
}

int SchemeDocument::IntOf(const TZunPigger& element, std::string_view name) {
    const std::string& text = element.GetAttribute(name);
    if (const std::optional<int> value = ToInt(text))
        return *value;
    throw std::runtime_error("'" + text + "' is not a valid integer value");
}

int SchemeDocument::IntOrZero(const TZunPigger& element, std::string_view name) {
    std::string_view text = element.GetAttribute(name);
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    if (!text.empty() && text[0] == '+')
        text.remove_prefix(1);
    return ToInt(text).value_or(0);
}

void SchemeDocument::Reset() {
    Root.Clear();
    Root.SetName("SHEME");
}

void SchemeDocument::LoadText(std::string_view text) {
    Reset();
    Root.LoadFromString(text);
    Loaded();
}

void SchemeDocument::LoadStream(std::istream& stream) {
    Reset();
    Root.LoadFromStream(stream);
    Loaded();
}

void SchemeDocument::Loaded() {
    if (Root.ChildCount() == 0)
        Reset();
    EnsureSize();
}

void SchemeDocument::EnsureSize() {
    if (!ToInt(Root.GetAttribute("HEIGHT")))
        Root.SetAttribute("HEIGHT", Decimal(DefaultHeight));
    if (!ToInt(Root.GetAttribute("WIDTH")))
        Root.SetAttribute("WIDTH", Decimal(DefaultWidth));
}

bool SchemeDocument::IsNameFree(std::string_view name) const {
    return !Root.FindChildByAttribute("N_NAME", name) && !Root.FindChildByAttribute("L_NAME", name);
}

bool SchemeDocument::HasDuplicateNodeName(std::string_view name) const {
    const TZunPigger* first = Root.FindChildByAttribute("N_NAME", name);
    return first && Root.FindNextChildByAttribute(first, "N_NAME", name);
}

TZunPigger* SchemeDocument::FindNode(std::string_view name) const {
    return Root.FindChildByAttribute("N_NAME", name);
}

int SchemeDocument::NodeCount() const {
    int count = 0;
    for (int i = 0; i < Root.ChildCount(); ++i)
        count += IsNamed(Root.Child(i), "NODE");
    return count;
}

int SchemeDocument::LineCount() const {
    int count = 0;
    for (int i = 0; i < Root.ChildCount(); ++i)
        count += IsNamed(Root.Child(i), "LINE");
    return count;
}

TZunPigger* SchemeDocument::AddNode(int x, int y, std::string_view name, int nameWidth) {
    if (!IsNameFree(name))
        return nullptr;
    auto* node = new TZunPigger(&Root);
    node->SetName("NODE");
    node->SetAttribute("L", Decimal(x));
    node->SetAttribute("T", Decimal(y));
    node->SetAttribute("W", Decimal(NewNodeWidth));
    node->SetAttribute("H", Decimal(NewNodeHeight));
    node->SetAttribute("N_NAME", name);
    const int fitted = Add(nameWidth, 20);
    node->SetAttribute("W", Decimal(std::max(NewNodeWidth, fitted)));
    return node;
}

TZunPigger* SchemeDocument::AddLine(int xb, int yb, int xe, int ye, int im, std::string_view name) {
    if (!IsNameFree(name))
        return nullptr;
    auto* line = new TZunPigger(&Root);
    line->SetName("LINE");
    line->SetAttribute("L_NAME", name);
    line->SetAttribute("XB", Decimal(xb));
    line->SetAttribute("YB", Decimal(yb));
    line->SetAttribute("XE", Decimal(xe));
    line->SetAttribute("YE", Decimal(ye));
    line->SetAttribute("IM", Decimal(im));
    return line;
}

void SchemeDocument::DeleteNode(TZunPigger* node) {
    if (node && node->Parent() == &Root)
        Root.DeleteChild(node);
}

bool SchemeDocument::DeleteNodeByName(std::string_view name) {
    TZunPigger* node = FindNode(name);
    if (!node)
        return false;
    Root.DeleteChild(node);
    return true;
}

void SchemeDocument::DeleteLine(TZunPigger* line) {
    if (!line || line->Parent() != &Root)
        return;
    DetachBegin(line);
    DetachEnd(line);
    Root.DeleteChild(line);
}

void SchemeDocument::MoveNode(TZunPigger* node, int x, int y) {
    if (!node || !IsNamed(node, "NODE"))
        return;
    node->SetAttribute("L", Decimal(x));
    node->SetAttribute("T", Decimal(y));
}

void SchemeDocument::MoveLineBegin(TZunPigger* line, int x, int y) {
    if (!line || !IsNamed(line, "LINE"))
        return;
    line->SetAttribute("XB", Decimal(x));
    line->SetAttribute("YB", Decimal(y));
}

void SchemeDocument::MoveLineEnd(TZunPigger* line, int x, int y) {
    if (!line || !IsNamed(line, "LINE"))
        return;
    line->SetAttribute("XE", Decimal(x));
    line->SetAttribute("YE", Decimal(y));
}

void SchemeDocument::Reroute(const TZunPigger* node) {
    const int l = IntOrZero(*node, "L");
    const int t = IntOrZero(*node, "T");
    const int w = IntOrZero(*node, "W");
    const int h = IntOrZero(*node, "H");
    for (int i = 0; i < node->ChildCount(); ++i) {
        const TZunPigger* reference = node->Child(i);
        TZunPigger* line = Root.FindChildByAttribute("L_NAME", reference->GetAttribute("L_NAME"));
        if (!line)
            continue;
        const int rx = IntOrZero(*reference, "RX");
        const int ry = IntOrZero(*reference, "RY");
        if (IsNamed(reference, "LINE_OUT"))
            MoveLineBegin(line, Add(l, rx), Add(t, ry));
        else if (IsNamed(reference, "LINE_IN"))
            MoveLineEnd(line, Add(Add(l, w), rx), Add(Add(t, h), ry));
    }
}

TZunPigger* SchemeDocument::FindReference(const TZunPigger* node, std::string_view name,
                                          std::string_view kind) {
    TZunPigger* found = node->FindChildByAttribute("L_NAME", name);
    while (found && !IsNamed(found, kind))
        found = node->FindNextChildByAttribute(found, "L_NAME", name);
    return found;
}

void SchemeDocument::Detach(const TZunPigger* line, std::string_view kind) {
    const std::string& name = line->GetAttribute("L_NAME");
    for (int i = 0; i < Root.ChildCount(); ++i) {
        TZunPigger* node = Root.Child(i);
        if (!IsNamed(node, "NODE"))
            continue;
        if (TZunPigger* reference = FindReference(node, name, kind))
            node->DeleteChild(reference);
    }
}

void SchemeDocument::DetachBegin(const TZunPigger* line) {
    Detach(line, "LINE_OUT");
}

void SchemeDocument::DetachEnd(const TZunPigger* line) {
    Detach(line, "LINE_IN");
}

TZunPigger* SchemeDocument::Reference(TZunPigger* node, const TZunPigger* line,
                                      std::string_view kind) {
    const std::string& name = line->GetAttribute("L_NAME");
    if (TZunPigger* found = FindReference(node, name, kind))
        return found;
    auto* reference = new TZunPigger(node);
    reference->SetName(kind);
    reference->SetAttribute("L_NAME", name);
    return reference;
}

void SchemeDocument::AttachBegin(TZunPigger* line, TZunPigger* node) {
    const int l = IntOf(*node, "L");
    const int t = IntOf(*node, "T");
    MoveLineBegin(line, Add(l, IntOf(*node, "W")), IntOf(*line, "YB"));
    TZunPigger* reference = Reference(node, line, "LINE_OUT");
    reference->SetAttribute("RX", Decimal(Sub(IntOf(*line, "XB"), l)));
    reference->SetAttribute("RY", Decimal(Sub(IntOf(*line, "YB"), t)));
}

void SchemeDocument::AttachEnd(TZunPigger* line, TZunPigger* node) {
    const int l = IntOf(*node, "L");
    const int t = IntOf(*node, "T");
    const int w = IntOf(*node, "W");
    const int h = IntOf(*node, "H");
    const std::string& im = line->GetAttribute("IM");
    if (im == "1")
        MoveLineEnd(line, IntOf(*line, "XE"), t);
    else if (im == "-1")
        MoveLineEnd(line, IntOf(*line, "XE"), Add(t, h));
    else
        MoveLineEnd(line, l, IntOf(*line, "YE"));
    TZunPigger* reference = Reference(node, line, "LINE_IN");
    reference->SetAttribute("RX", Decimal(Sub(Sub(IntOf(*line, "XE"), l), w)));
    reference->SetAttribute("RY", Decimal(Sub(Sub(IntOf(*line, "YE"), t), h)));
}

namespace {

// Reads the named values in order; from the first that is no integer on,
// every value counts as 0.
template <std::size_t N>
void ReadInOrder(const TZunPigger& element, const char* const (&names)[N], int (&values)[N]) {
    bool failed = false;
    for (std::size_t i = 0; i < N; ++i) {
        const std::optional<int> value =
            failed ? std::nullopt : SchemeDocument::ToInt(element.GetAttribute(names[i]));
        failed = !value;
        values[i] = value.value_or(0);
    }
}

} // namespace

void SchemeDocument::ClampNode(TZunPigger* node) const {
    int v[4];
    ReadInOrder(*node, {"L", "T", "W", "H"}, v);
    const int right = Add(Width(), SheetLeft - 2 * ShadowLeft);
    const int bottom = Add(Height(), SheetTop - 2 * ShadowTop);
    int l = v[0];
    int t = v[1];
    if (v[0] < SheetLeft)
        l = SheetLeft + 2;
    if (v[1] < SheetTop)
        t = SheetTop + 2;
    if (Add(v[0], v[2]) > right)
        l = Add(right, -120);
    if (Add(v[1], v[3]) > bottom)
        t = Add(bottom, -70);
    MoveNode(node, l, t);
}

void SchemeDocument::ClampLine(TZunPigger* line) const {
    int v[4];
    ReadInOrder(*line, {"XB", "YB", "XE", "YE"}, v);
    const int right = Add(Add(Width(), SheetLeft - 2 * ShadowLeft), -35);
    const int bottom = Add(Add(Height(), SheetTop - 2 * ShadowTop), -35);
    for (int i = 0; i < 4; i += 2) {
        const int x = v[i];
        const int y = v[i + 1];
        if (x < SheetLeft)
            v[i] = SheetLeft + 2;
        if (y < SheetTop)
            v[i + 1] = SheetTop + 2;
        if (x > right)
            v[i] = right;
        if (y > bottom)
            v[i + 1] = bottom;
    }
    MoveLineBegin(line, v[0], v[1]);
    MoveLineEnd(line, v[2], v[3]);
}

SchemeSelection SchemeDocument::HitTest(int x, int y) const {
    SchemeSelection hit;
    // Squared distances in 64 bits: coordinates may lie anywhere in int.
    auto near = [x, y](int px, int py, long long limit) {
        const long long dx = static_cast<long long>(x) - px;
        const long long dy = static_cast<long long>(y) - py;
        if (dx < -limit || dx > limit || dy < -limit || dy > limit)
            return false;
        return dx * dx + dy * dy <= limit;
    };
    for (int i = Root.ChildCount() - 1; i >= 0; --i) {
        TZunPigger* line = Root.Child(i);
        if (!IsNamed(line, "LINE"))
            continue;
        if (near(IntOf(*line, "XB"), IntOf(*line, "YB"), 20)) {
            hit.LineBegin = line;
            return hit;
        }
        if (near(IntOf(*line, "XE"), IntOf(*line, "YE"), 90)) {
            hit.LineEnd = line;
            return hit;
        }
    }
    for (int i = Root.ChildCount() - 1; i >= 0; --i) {
        TZunPigger* node = Root.Child(i);
        if (!IsNamed(node, "NODE"))
            continue;
        const int l = IntOf(*node, "L");
        const int t = IntOf(*node, "T");
        const int w = IntOf(*node, "W");
        const int h = IntOf(*node, "H");
        if (l <= x && x <= Add(l, w) && t <= y && y <= Add(t, h)) {
            hit.Node = node;
            return hit;
        }
    }
    return hit;
}

bool SchemeDocument::CheckBounds() {
    const int width = Width();
    const int height = Height();
    bool inside = true;
    for (int i = 0; i < Root.ChildCount(); ++i) {
        TZunPigger* child = Root.Child(i);
        const bool node = IsNamed(child, "NODE");
        if (!node && !IsNamed(child, "LINE"))
            continue;
        int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
        if (node) {
            x1 = IntOrZero(*child, "L");
            y1 = IntOrZero(*child, "T");
            x2 = Add(x1, IntOrZero(*child, "W"));
            y2 = Add(y1, IntOrZero(*child, "H"));
        } else {
            x1 = IntOrZero(*child, "XB");
            y1 = IntOrZero(*child, "YB");
            x2 = IntOrZero(*child, "XE");
            y2 = IntOrZero(*child, "YE");
        }
        bool passed = true;
        if (x1 < 0) {
            x1 = 5;
            passed = false;
        }
        if (y1 < 0) {
            y1 = 5;
            passed = false;
        }
        if (passed)
            passed = x2 <= width && y2 <= height;
        if (passed)
            continue;
        inside = false;
        if (node) {
            MoveNode(child, x1, y1);
        } else {
            MoveLineBegin(child, x1, y1);
            MoveLineEnd(child, x2, y2);
        }
    }
    return inside;
}

std::string SchemeDocument::CheckScheme() {
    if (NodeCount() + LineCount() == 0)
        return "Sheme is not deffined.";
    if (!CheckBounds())
        return "Object(s) outside sheme are detected.";
    return {};
}

std::string SchemeDocument::ImportRefusal(const TZunPigger& tree) {
    if (tree.Name() != "SHEME")
        return "Cna't load XML\nNOT A SHEME XML";
    // A root without a third attribute carries no version: an older file.
    int version = 0;
    if (tree.AttributeCount() > 2)
        version = ToInt(tree.AttributeValueAt(2)).value_or(0);
    if (version < 2)
        return "Cna't load XML\nVersion conflict";
    return {};
}

void SchemeDocument::SetVersion() {
    Root.SetAttribute("VERSION", "2");
}
