#pragma once

#include <string>
#include <string_view>

class TZunPigger;

// The text of an HTML page held in a tree document, laid out as the tree
// document's writer lays out its text (CR LF and one TAB per level before
// every tag, upper-case names, an element with neither text nor children as
// one self-closing tag) but escaped the way HTML is: & < > " become &amp;
// &lt; &gt; &quot;, so a browser shows the texts as they were stored.
// Control characters other than TAB, LF and CR cannot be shown and are left
// out; everything else, line breaks and UTF-8 included, is written as it is.
class HtmlPageWriter {
public:
    static std::string PageText(const TZunPigger& root);
    static void AppendEscaped(std::string& out, std::string_view text);

private:
    static void WriteElement(std::string& out, const TZunPigger& element, std::size_t depth);
};
