// Text into an HTML page: every piece of text that comes from an input file (feature ids, ion types, file names,
// library labels) goes through AppendEscaped, so that no input can add markup, script or a request to the page.
#pragma once

#include <string>
#include <string_view>

namespace zelm {

// Appends text as HTML character data, safe both between tags and inside a quoted attribute value: & < > " ' are
// written as character references; bytes that are not well-formed UTF-8, and control characters other than tab and
// line feed, become U+FFFD (the replacement character).
void AppendEscaped(std::string& out, std::string_view text);
std::string Escaped(std::string_view text);

// Appends a number with at most `decimals` decimals and no trailing zeros (as the tables write numbers); a minus as
// U+2212 when `typographic`, so that negative figures read as a chemist writes them. Nothing for a non-finite number.
void AppendNumber(std::string& out, double value, int decimals, bool typographic = false);

}  // namespace zelm
