// Log escaping in caret-and-meta notation.
#include <plat/logEscape.h>

#include <plat/TextBuilder.h>
#include <plat/utf8.h>

#include <cstdint>

namespace plat {

namespace {

constexpr int Delete = 0x7F;

void appendCaretForm(TextBuilder& out, char escape, int character) {
    out.append(escape);
    out.append('^');
    out.append(char(character ^ 0x40));
}

// The blank counts as a control here so that an escaped byte never ends in an invisible
// character; the high bit is shown as "M" (meta).
void appendInvalidByte(TextBuilder& out, char escape, unsigned char byte) {
    out.append(escape);
    if (byte >= 0x80) {
        out.append('M');
        byte &= 0x7F;
    }
    bool control = byte <= 0x20 || byte == Delete;
    out.append(control ? '^' : '-');
    out.append(char(control ? byte ^ 0x40 : byte));
}

} // namespace

bool needsLogEscape(const char* text) {
    if (text == nullptr)
        return false;
    for (auto byte = reinterpret_cast<const unsigned char*>(text); *byte; ++byte) {
        if (*byte < 0x20 || *byte >= 0x7E)
            return true;
    }
    return false;
}

DString logEscape(const char* text, char escape) {
    DString result;
    if (text == nullptr)
        return result;
    TextBuilder out(result);
    while (*text != '\0') {
        int length;
        int codePoint = decodeUtf8(text, SIZE_MAX, length);
        if (codePoint < 0) {
            for (int i = 0; i < length; ++i)
                appendInvalidByte(out, escape, static_cast<unsigned char>(text[i]));
        } else if (codePoint == static_cast<unsigned char>(escape)) {
            out.append(escape);
            out.append(escape);
        } else if (codePoint < 0x20 || codePoint == Delete) {
            appendCaretForm(out, escape, codePoint);
        } else {
            out.append(text, length);
        }
        text += length;
    }
    return result;
}

} // namespace plat
