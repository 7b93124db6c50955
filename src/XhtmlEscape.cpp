#include "XhtmlEscape.h"

#include <cstddef>

namespace {

const char* const replacementCharacter = "\xEF\xBF\xBD";

bool isContinuation(unsigned char byte)
{
    return byte >= 0x80 && byte <= 0xBF;
}

// Length of the well-formed UTF-8 sequence of an XML character that starts at
// text[at] with a byte of 0x80 or more; 0 when there is none.
std::size_t xmlCharacterLength(const std::string& text, std::size_t at)
{
    const auto byte = [&](std::size_t offset) -> unsigned char {
        return at + offset < text.size() ? static_cast<unsigned char>(text[at + offset]) : 0;
    };
    const unsigned char lead = byte(0);
    if (lead >= 0xC2 && lead <= 0xDF)
        return isContinuation(byte(1)) ? 2 : 0;
    if (lead >= 0xE0 && lead <= 0xEF) {
        const unsigned char low = lead == 0xE0 ? 0xA0 : 0x80;   // no overlong forms
        const unsigned char high = lead == 0xED ? 0x9F : 0xBF;  // no surrogates
        if (byte(1) < low || byte(1) > high || !isContinuation(byte(2)))
            return 0;
        const bool nonCharacter = lead == 0xEF && byte(1) == 0xBF && byte(2) >= 0xBE;  // U+FFFE, U+FFFF
        return nonCharacter ? 0 : 3;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        const unsigned char low = lead == 0xF0 ? 0x90 : 0x80;   // no overlong forms
        const unsigned char high = lead == 0xF4 ? 0x8F : 0xBF;  // nothing above U+10FFFF
        if (byte(1) < low || byte(1) > high || !isContinuation(byte(2)) || !isContinuation(byte(3)))
            return 0;
        return 4;
    }
    return 0;
}

// The entity or reference for an ASCII byte, or nullptr when it stands as it is.
const char* asciiReplacement(char c, XhtmlPlace place)
{
    const bool attribute = place == XhtmlPlace::Attribute;
    switch (c) {
    case '&': return "&amp;";
    case '<': return "&lt;";
    case '>': return "&gt;";
    case '\r': return "&#13;";
    case '"': return attribute ? "&quot;" : nullptr;
    case '\'': return attribute ? "&#39;" : nullptr;
    case '\t': return attribute ? "&#9;" : nullptr;
    case '\n': return attribute ? "&#10;" : nullptr;
    default: break;
    }
    return static_cast<unsigned char>(c) < 0x20 ? replacementCharacter : nullptr;
}

// Where the run of ASCII bytes that stand as they are, starting at text[at], ends.
std::size_t endOfPlainRun(const std::string& text, std::size_t at, XhtmlPlace place)
{
    while (at < text.size()) {
        const unsigned char c = static_cast<unsigned char>(text[at]);
        if (c < 0x20 || c >= 0x80 || asciiReplacement(static_cast<char>(c), place))
            break;
        ++at;
    }
    return at;
}

}  // namespace

std::string escapeXhtml(const std::string& text, XhtmlPlace place)
{
    std::string escaped;
    escaped.reserve(text.size());
    std::size_t at = 0;
    while (at < text.size()) {
        // Most texts are plain throughout, so they are copied in runs.
        const std::size_t plainEnd = endOfPlainRun(text, at, place);
        escaped.append(text, at, plainEnd - at);
        at = plainEnd;
        if (at == text.size())
            break;
        const char c = text[at];
        if (static_cast<unsigned char>(c) < 0x80) {
            const char* replacement = asciiReplacement(c, place);
            if (replacement)
                escaped.append(replacement);
            else
                escaped.push_back(c);
            ++at;
        } else if (const std::size_t length = xmlCharacterLength(text, at)) {
            escaped.append(text, at, length);
            at += length;
        } else {
            escaped.append(replacementCharacter);
            ++at;
        }
    }
    return escaped;
}

std::string escapeXhtmlText(const std::string& text)
{
    return escapeXhtml(text, XhtmlPlace::Text);
}

std::string escapeScriptString(const std::string& text)
{
    std::string escaped;
    escaped.reserve(text.size());
    for (std::size_t at = 0; at < text.size(); ++at) {
        const char c = text[at];
        if (c == '\\' || c == '"') {
            escaped.push_back('\\');
            escaped.push_back(c);
        } else if (c == '\n') {
            escaped.append("\\n");
        } else if (c == '\r') {
            escaped.append("\\r");
        } else if (text.compare(at, 3, "\xE2\x80\xA8") == 0 || text.compare(at, 3, "\xE2\x80\xA9") == 0) {
            // U+2028 and U+2029 end a line inside a script string too.
            escaped.append(text[at + 2] == '\xA8' ? "\\u2028" : "\\u2029");
            at += 2;
        } else {
            escaped.push_back(c);
        }
    }
    return escaped;
}
