#include "HtmlPageWriter.h"

#include "TZunPigger.h"

namespace {

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
        out += "/>";
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
