#pragma once

#include <string>
#include <string_view>

// Percent escaping of attribute values and text content in tree document
// text. Control characters other than TAB, LF and CR, and the characters
// " % < >, become a percent sign and two upper-case hexadecimal digits.
std::string EscapeText(std::string_view text);
void AppendEscaped(std::string& out, std::string_view text);

// One left-to-right pass: a percent sign followed by two upper-case
// hexadecimal digits becomes that character; anything else, a percent sign
// without two such digits included, is copied as it is.
std::string UnescapeText(std::string_view text);
