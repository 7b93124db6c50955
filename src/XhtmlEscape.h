// Turns text from the input into text that can stand in an XHTML page.
#ifndef VARNEK_XHTML_ESCAPE_H
#define VARNEK_XHTML_ESCAPE_H

#include <string>

enum class XhtmlPlace {
    Text,       // element content: "&", "<" and ">" become entities
    Attribute,  // attribute value: also both quotes, and tab and line feed so they survive normalisation
};

// The one escaper for every text from the input. Bytes that cannot stand in an
// XML document (control characters other than tab, line feed and carriage
// return, bytes outside well-formed UTF-8, U+FFFE and U+FFFF) become U+FFFD,
// one per byte, so the page stays well-formed and a <pre> column stays a column.
// A carriage return is written as a character reference because a parser
// would otherwise fold it into a line feed.
std::string escapeXhtml(const std::string& text, XhtmlPlace place);

// Element-content escaping in the form the alignment block printer takes.
std::string escapeXhtmlText(const std::string& text);

// For a double-quoted script string: backslash, double quote and every line
// terminator of the script language.
std::string escapeScriptString(const std::string& text);

#endif
