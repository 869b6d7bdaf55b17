#include "HtmlPageWriter.h"

#include "TZunPigger.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace {

// Elements that HTML knows to have no content; every other element needs
// its end tag, since a browser reads "<TITLE/>" as a start tag whose content
// runs on through the rest of the page.
bool IsVoid(std::string_view name) {
    static constexpr std::array<std::string_view, 14> Void = {
        "AREA",  "BASE", "BR",   "COL",   "EMBED",  "HR",    "IMG",
        "INPUT", "LINK", "META", "PARAM", "SOURCE", "TRACK", "WBR"};
    return std::find(Void.begin(), Void.end(), name) != Void.end();
}

void NewLine(std::string& out, std::size_t depth) {
    out += "\r\n";
    out.append(depth, '\t');
}

} // namespace

std::string HtmlPageWriter::PageText(const TZunPigger& root) {
    std::string out;
    WriteElement(out, root, 0);
    return out;
}

void HtmlPageWriter::AppendEscaped(std::string& out, std::string_view text) {
    for (const char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            if (static_cast<unsigned char>(c) >= 32 || c == '\t' || c == '\n' || c == '\r')
                out += c;
            break;
        }
    }
}

void HtmlPageWriter::WriteElement(std::string& out, const TZunPigger& element, std::size_t depth) {
    if (element.Name().empty())
        return;
    NewLine(out, depth);
    out += '<';
    out += element.Name();
    for (int i = 0; i < element.AttributeCount(); ++i) {
        out += ' ';
        out += element.AttributeNameAt(i);
        out += "=\"";
        AppendEscaped(out, element.AttributeValueAt(i));
        out += '"';
    }
    if (element.ChildCount() == 0 && element.Text.empty()) {
        if (IsVoid(element.Name())) {
            out += "/>";
        } else {
            out += "></";
            out += element.Name();
            out += '>';
        }
        return;
    }
    out += '>';
    AppendEscaped(out, element.Text);
    for (int i = 0; i < element.ChildCount(); ++i)
        WriteElement(out, *element.Child(i), depth + 1);
    NewLine(out, depth);
    out += "</";
    out += element.Name();
    out += '>';
}
