// Classifying codeset names.
#include <loc/charset.h>

#include <langinfo.h>
#include <string>
#include <string_view>

namespace loc {

namespace {

std::string simplifiedCodeset(const char* codeset) {
    std::string simple;
    for (const char* at = codeset; *at != '\0'; ++at) {
        if (*at == '-' || *at == '_')
            continue;
        char c = *at;
        simple += (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
    }
    return simple;
}

bool isLatin1(std::string_view name) {
    // "iso885915" and the other later parts of ISO 8859 share the prefix but not the repertoire.
    constexpr std::string_view Latin1 = "iso88591";
    return name.starts_with(Latin1) &&
           (name.size() == Latin1.size() ||
            !(name[Latin1.size()] >= '0' && name[Latin1.size()] <= '9'));
}

bool isAscii(std::string_view name) {
    return name.find("ascii") != std::string_view::npos || name == "isoir6" || name == "646" ||
           name.starts_with("iso646") || name.starts_with("ansix3.4");
}

} // namespace

Charset classifyCharset(const char* codeset) {
    if (codeset == nullptr)
        return Charset::Other;
    std::string name = simplifiedCodeset(codeset);
    if (name == "utf8")
        return Charset::Utf8;
    if (isLatin1(name))
        return Charset::Latin1;
    if (isAscii(name))
        return Charset::Ascii;
    return Charset::Other;
}

Charset currentCharset() {
    return classifyCharset(nl_langinfo(CODESET));
}

} // namespace loc
