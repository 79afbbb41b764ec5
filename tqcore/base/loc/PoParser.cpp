// The ".po" line parser: comments, keyword lines, continuation lines and C string literals.
#include <loc/PoParser.h>

#include <loc/localizeLog.h>
#include <plat/hex.h>
#include <plat/utf8.h>

#include <cstring>

namespace loc {

namespace {

constexpr char ContextSeparator = '\x04';

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view skipBlanks(std::string_view text) {
    std::size_t start = 0;
    while (start < text.size() && isBlank(text[start]))
        ++start;
    return text.substr(start);
}

bool isOctalDigit(char c) {
    return c >= '0' && c <= '7';
}

char simpleEscape(char c) {
    switch (c) {
    case '"':
    case '\'':
    case '?':
    case '\\':
        return c;
    case 'a':
        return '\a';
    case 'b':
        return '\b';
    case 'f':
        return '\f';
    case 'n':
        return '\n';
    case 'r':
        return '\r';
    case 't':
        return '\t';
    case 'v':
        return '\v';
    default:
        return '\0';
    }
}

// Octal (up to three digits) and hexadecimal escapes, as C and the gettext tools read them.
// Only ASCII values other than NUL are taken: a NUL would cut the text short, and single bytes
// of 0x80 and above could break the UTF-8 that every line was checked for.
bool readNumericEscape(std::string_view text, std::size_t& at, std::string& out) {
    long value = 0;
    if (text[at] == 'x') {
        std::size_t digits = 0;
        for (++at; at < text.size() && plat::hexDigitValue(text[at]) >= 0; ++at, ++digits) {
            value = value * 16 + plat::hexDigitValue(text[at]);
            if (value > 0x7F)
                return false;
        }
        if (digits == 0)
            return false;
    } else if (isOctalDigit(text[at])) {
        for (int digits = 0; digits < 3 && at < text.size() && isOctalDigit(text[at]); ++digits)
            value = value * 8 + (text[at++] - '0');
    } else {
        return false;
    }
    if (value == 0 || value > 0x7F)
        return false;
    out += char(value);
    return true;
}

// Reads a string literal that may be preceded by blanks and must end the line. Returns null, or
// the reason the line fails.
const char* readStringLiteral(std::string_view source, std::string& out) {
    std::string_view text = skipBlanks(source);
    if (text.empty() || text[0] != '"')
        return "Junk preceding string data";
    std::size_t at = 1;
    while (at < text.size()) {
        char c = text[at++];
        if (c == '"')
            return at == text.size() ? nullptr : "Junk following string data";
        if (c != '\\') {
            out += c;
            continue;
        }
        if (at == text.size())
            return "Invalid escape at end";
        if (char escaped = simpleEscape(text[at])) {
            out += escaped;
            ++at;
        } else if (!readNumericEscape(text, at, out)) {
            return "Invalid escape code";
        }
    }
    return "Missing terminator";
}

// "msgstr[N]": the index N, or -1 when the keyword has another form.
int pluralIndex(std::string_view keyword) {
    constexpr std::string_view Prefix = "msgstr[";
    if (!keyword.starts_with(Prefix) || !keyword.ends_with("]") ||
        keyword.size() == Prefix.size() + 1)
        return -1;
    int index = 0;
    for (char c : keyword.substr(Prefix.size(), keyword.size() - Prefix.size() - 1)) {
        if (c < '0' || c > '9' || index > 1000)
            return -1;
        index = index * 10 + (c - '0');
    }
    return index;
}

bool hasFuzzyFlag(std::string_view flags) {
    while (!flags.empty()) {
        std::size_t comma = flags.find(',');
        std::string_view flag = skipBlanks(flags.substr(0, comma));
        while (!flag.empty() && isBlank(flag.back()))
            flag.remove_suffix(1);
        if (flag == "fuzzy")
            return true;
        if (comma == std::string_view::npos)
            break;
        flags.remove_prefix(comma + 1);
    }
    return false;
}

bool isValidLine(std::string_view line) {
    return std::memchr(line.data(), '\0', line.size()) == nullptr &&
           plat::isValidUtf8(line.data(), line.data() + line.size());
}

} // namespace

PoParser::PoParser(std::string sourceName, std::string locale, Store store)
    : sourceName(std::move(sourceName)), locale(std::move(locale)), store(std::move(store)) {}

void PoParser::parse(std::string_view text) {
    while (!text.empty()) {
        std::size_t end = text.find('\n');
        parseLine(text.substr(0, end));
        if (end == std::string_view::npos)
            break;
        text.remove_prefix(end + 1);
    }
    endEntry();
}

void PoParser::parseLine(std::string_view line) {
    ++lineNumber;
    if (!isValidLine(line)) {
        localizeLog().error("%s:%d Bad UTF-8 (%s) for '%s' locale", sourceName.c_str(), lineNumber,
                            std::string(line).c_str(), locale.c_str());
        return;
    }
    // The gettext tools allow indented lines, and a line of blanks separates entries as an
    // empty one does.
    std::string_view content = skipBlanks(line);
    if (content.empty()) {
        endEntry();
        return;
    }
    if (content[0] == '#') {
        noteComment(content);
        return;
    }
    const char* error = content[0] == '"' ? continueString(content) : parseKeywordLine(content);
    if (error != nullptr)
        report(error);
}

const char* PoParser::continueString(std::string_view line) {
    if (last == Keyword::None)
        return "Expected msgid";
    std::string literal;
    if (const char* error = readStringLiteral(line, literal))
        return error;
    extended->append(literal);
    return nullptr;
}

const char* PoParser::parseKeywordLine(std::string_view line) {
    std::size_t blank = line.find_first_of(" \t");
    std::string_view word = line.substr(0, blank);
    int index = pluralIndex(word);
    Keyword keyword = word == "msgctxt"        ? Keyword::Context
                      : word == "msgid"        ? Keyword::Id
                      : word == "msgid_plural" ? Keyword::IdPlural
                      : word == "msgstr"       ? Keyword::Str
                      : index >= 0             ? Keyword::StrPlural
                                               : Keyword::Unknown;
    // Catalogues need no empty line between entries: a new msgid ends the previous one.
    bool complete = last == Keyword::Str || last == Keyword::StrPlural;
    if (complete && (keyword == Keyword::Context || keyword == Keyword::Id))
        endEntry();
    if (const char* error = checkOrder(keyword))
        return error;
    if (blank == std::string_view::npos || skipBlanks(line.substr(blank)).empty())
        return "Bad command or string";
    std::string literal;
    if (const char* error = readStringLiteral(line.substr(blank), literal))
        return error;
    apply(keyword, index, std::move(literal));
    return nullptr;
}

const char* PoParser::checkOrder(Keyword keyword) const {
    switch (last) {
    case Keyword::None:
        return keyword == Keyword::Context || keyword == Keyword::Id ? nullptr : "Expected msgid";
    case Keyword::Context:
        return keyword == Keyword::Id ? nullptr : "Expected msgid";
    case Keyword::Id:
        return keyword == Keyword::Str || keyword == Keyword::IdPlural ? nullptr
                                                                       : "Expected msgstr";
    case Keyword::IdPlural:
        return keyword == Keyword::StrPlural ? nullptr : "Expected msgstr";
    case Keyword::StrPlural:
        return keyword == Keyword::StrPlural ? nullptr : "Bad command or string";
    default:
        return "Bad command or string";
    }
}

void PoParser::apply(Keyword keyword, int index, std::string literal) {
    if (last == Keyword::None) {
        fuzzy = fuzzyPending;
        fuzzyPending = false;
    }
    last = keyword;
    switch (keyword) {
    case Keyword::Context:
        hasContext = true;
        extended = &context;
        break;
    case Keyword::Id:
        extended = &id;
        break;
    case Keyword::Str:
        extended = &text;
        break;
    case Keyword::StrPlural:
        // gettext() without a count answers with the first form.
        extended = index == 0 ? &text : &ignored;
        break;
    default:
        extended = &ignored;
        break;
    }
    *extended = std::move(literal);
}

void PoParser::noteComment(std::string_view line) {
    if (line.starts_with("#,") && hasFuzzyFlag(line.substr(2)))
        fuzzyPending = true;
}

void PoParser::endEntry() {
    if (last == Keyword::None)
        return;
    if (last != Keyword::Str && last != Keyword::StrPlural) {
        report("Expected msgstr");
    } else if (!id.empty() && !text.empty() && !fuzzy) {
        // The empty msgid is the file's header; an empty msgstr is a text not yet translated,
        // and a fuzzy one a guess that waits for review: both leave the key to other files.
        if (hasContext)
            store(context + ContextSeparator + id, text);
        else
            store(id, text);
    }
    last = Keyword::None;
    context.clear();
    hasContext = false;
    id.clear();
    text.clear();
    fuzzy = false;
    extended = nullptr;
}

void PoParser::report(const char* message) const {
    localizeLog().error("%s:%d %s", sourceName.c_str(), lineNumber, message);
}

} // namespace loc
