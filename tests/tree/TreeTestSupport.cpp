#include "TreeTestSupport.h"

#include <vector>

namespace treetest {

namespace {

std::string Quote(const std::string& s) {
    std::string out = "\"";
    for (unsigned char c : s) {
        if (c < 32 || c >= 127 || c == '"' || c == '\\') {
            static constexpr char Hex[] = "0123456789ABCDEF";
            out += "\\x";
            out += Hex[c >> 4];
            out += Hex[c & 15];
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

std::string DifferenceAt(const TZunPigger& e, const TZunPigger& a, const std::string& path) {
    const std::string here = path + "/" + e.Name();
    if (e.Name() != a.Name())
        return here + ": name " + Quote(a.Name()) + ", expected " + Quote(e.Name());
    if (e.Text != a.Text)
        return here + ": text " + Quote(a.Text) + ", expected " + Quote(e.Text);
    if (e.AttributeCount() != a.AttributeCount())
        return here + ": " + std::to_string(a.AttributeCount()) + " attributes, expected " +
               std::to_string(e.AttributeCount());
    for (int i = 0; i < e.AttributeCount(); ++i) {
        if (e.AttributeNameAt(i) != a.AttributeNameAt(i) ||
            e.AttributeValueAt(i) != a.AttributeValueAt(i))
            return here + ": attribute " + std::to_string(i) + " " + Quote(a.AttributeNameAt(i)) +
                   "=" + Quote(a.AttributeValueAt(i)) + ", expected " +
                   Quote(e.AttributeNameAt(i)) + "=" + Quote(e.AttributeValueAt(i));
    }
    if (e.ChildCount() != a.ChildCount())
        return here + ": " + std::to_string(a.ChildCount()) + " children, expected " +
               std::to_string(e.ChildCount());
    for (int i = 0; i < e.ChildCount(); ++i) {
        std::string difference = DifferenceAt(*e.Child(i), *a.Child(i), here);
        if (!difference.empty())
            return difference;
    }
    return {};
}

bool IsWrittenBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

void Normalise(TZunPigger& element) {
    std::size_t first = 0;
    std::size_t last = element.Text.size();
    while (first < last && IsWrittenBlank(element.Text[first]))
        ++first;
    while (last > first && IsWrittenBlank(element.Text[last - 1]))
        --last;
    element.Text = element.Text.substr(first, last - first);
    std::vector<TZunPigger*> unnamed;
    for (int i = 0; i < element.ChildCount(); ++i) {
        if (element.Child(i)->Name().empty())
            unnamed.push_back(element.Child(i));
        else
            Normalise(*element.Child(i));
    }
    for (TZunPigger* child : unnamed)
        element.DeleteChild(child);
}

} // namespace

std::string Difference(const TZunPigger& expected, const TZunPigger& actual) {
    return DifferenceAt(expected, actual, "");
}

std::unique_ptr<TZunPigger> AsReadBack(const TZunPigger& tree) {
    auto copy = std::make_unique<TZunPigger>();
    copy->Assign(tree);
    if (copy->Name().empty())
        copy->Clear();
    else
        Normalise(*copy);
    return copy;
}

} // namespace treetest
