// Loads arbitrary text as a scheme and runs the editor's rules on it: the
// hit test, moving and re-routing, clamping, attaching, the check, deleting
// and the import test. Nothing may crash or overflow; the reader's and the
// hit test's refusals are exceptions, as in the program.

#include "EZunPiggerError.h"
#include "SchemeDocument.h"

#include <cstdint>
#include <stdexcept>
#include <string_view>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    SchemeDocument scheme;
    try {
        scheme.LoadText(std::string_view(reinterpret_cast<const char*>(data), size));
    } catch (const EZunPiggerError&) {
        return 0;
    }
    (void)SchemeDocument::ImportRefusal(scheme.Root);
    const int points[][2] = {{0, 0}, {50, 50}, {-5, 300}, {2147483647, -2147483647}};
    for (const auto& point : points) {
        try {
            (void)scheme.HitTest(point[0], point[1]);
        } catch (const std::runtime_error&) {
        }
    }
    std::vector<TZunPigger*> nodes;
    std::vector<TZunPigger*> lines;
    for (int i = 0; i < scheme.Root.ChildCount(); ++i) {
        TZunPigger* child = scheme.Root.Child(i);
        if (child->Name() == "NODE")
            nodes.push_back(child);
        else if (child->Name() == "LINE")
            lines.push_back(child);
    }
    for (TZunPigger* node : nodes) {
        scheme.ClampNode(node);
        scheme.Reroute(node);
    }
    for (std::size_t i = 0; i < lines.size(); ++i) {
        scheme.ClampLine(lines[i]);
        if (nodes.empty())
            continue;
        try {
            SchemeDocument::AttachBegin(lines[i], nodes[i % nodes.size()]);
            SchemeDocument::AttachEnd(lines[i], nodes[(i + 1) % nodes.size()]);
        } catch (const std::runtime_error&) {
        }
    }
    (void)scheme.CheckScheme();
    (void)scheme.Root.SaveToString();
    if (!lines.empty())
        scheme.DeleteLine(lines.front());
    if (!nodes.empty())
        scheme.DeleteNode(nodes.back());
    return 0;
}
