// Parsing XML text into a node tree. One pass over the text with an explicit stack of the open
// elements; failures travel as an internal exception to the single place that fills the status.
#include <xml/Parser.h>

#include <xml/FileDescriptor.h>
#include <xml/encoding.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <fcntl.h>
#include <string>
#include <unistd.h>
#include <unordered_set>
#include <utility>
#include <vector>

namespace xml {

namespace {

constexpr std::size_t npos = std::string_view::npos;
// Longest text between '&' and ';' worth looking at: "#x" and a code point with leading zeros.
constexpr std::size_t MaxReferenceLength = 32;

struct Failure {
    Code code;
    std::size_t offset;
    std::string tagName;
};

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool isNameStart(char c) {
    auto byte = static_cast<unsigned char>(c);
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == ':' || byte >= 0x80;
}

bool isNameCharacter(char c) {
    return isNameStart(c) || (c >= '0' && c <= '9') || c == '-' || c == '.';
}

void appendUtf8(std::string& out, unsigned int codePoint) {
    if (codePoint < 0x80) {
        out += char(codePoint);
    } else if (codePoint < 0x800) {
        out += char(0xC0 | (codePoint >> 6));
        out += char(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        out += char(0xE0 | (codePoint >> 12));
        out += char(0x80 | ((codePoint >> 6) & 0x3F));
        out += char(0x80 | (codePoint & 0x3F));
    } else {
        out += char(0xF0 | (codePoint >> 18));
        out += char(0x80 | ((codePoint >> 12) & 0x3F));
        out += char(0x80 | ((codePoint >> 6) & 0x3F));
        out += char(0x80 | (codePoint & 0x3F));
    }
}

// "#65" or "#x41"; false for anything that is not a character XML may carry.
bool decodeNumericReference(std::string_view body, unsigned int& codePoint) {
    bool hex = body.size() > 1 && body[1] == 'x';
    std::string_view digits = body.substr(hex ? 2 : 1);
    if (digits.empty())
        return false;
    unsigned int value = 0;
    for (char c : digits) {
        unsigned int digit;
        if (c >= '0' && c <= '9')
            digit = unsigned(c - '0');
        else if (hex && c >= 'a' && c <= 'f')
            digit = unsigned(c - 'a' + 10);
        else if (hex && c >= 'A' && c <= 'F')
            digit = unsigned(c - 'A' + 10);
        else
            return false;
        value = value * (hex ? 16 : 10) + digit;
        if (value > 0x10FFFF)
            return false;
    }
    codePoint = value;
    return value != 0 && (value < 0xD800 || value > 0xDFFF);
}

char predefinedEntity(std::string_view name) {
    if (name == "lt")
        return '<';
    if (name == "gt")
        return '>';
    if (name == "amp")
        return '&';
    if (name == "quot")
        return '"';
    if (name == "apos")
        return '\'';
    return '\0';
}

void locate(std::string_view text, std::size_t offset, int& line, int& column) {
    if (offset > text.size())
        offset = text.size();
    line = 1;
    std::size_t lineStart = 0;
    for (std::size_t i = 0; i < offset; ++i) {
        if (text[i] == '\n') {
            ++line;
            lineStart = i + 1;
        }
    }
    column = 1;
    for (std::size_t i = lineStart; i < offset; ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80)
            ++column;
    }
}

std::string_view withoutByteOrderMark(std::string_view text) {
    if (text.starts_with("\xEF\xBB\xBF"))
        return text.substr(3);
    return text;
}

struct Declaration {
    bool present = false;
    std::string_view encoding;
    std::size_t encodingOffset = 0;
};

// Reads the pseudo-attributes of a leading "<?xml ...?>"; the tree builder later skips it as a
// processing instruction. All encodings understood here agree with ASCII on its bytes.
Declaration readDeclaration(std::string_view text) {
    Declaration declaration;
    if (!text.starts_with("<?xml") || text.size() < 6 || !(isBlank(text[5]) || text[5] == '?'))
        return declaration;
    declaration.present = true;
    std::size_t end = text.find("?>", 5);
    if (end == npos)
        throw Failure{Code::UnmatchedClearTagEnd, 0, {}};
    std::size_t pos = 5;
    while (true) {
        while (pos < end && isBlank(text[pos]))
            ++pos;
        if (pos == end)
            return declaration;
        std::size_t nameStart = pos;
        while (pos < end && isNameCharacter(text[pos]))
            ++pos;
        std::string_view name = text.substr(nameStart, pos - nameStart);
        while (pos < end && isBlank(text[pos]))
            ++pos;
        if (name.empty() || pos == end || text[pos] != '=')
            throw Failure{Code::UnexpectedToken, pos, {}};
        ++pos;
        while (pos < end && isBlank(text[pos]))
            ++pos;
        if (pos == end || (text[pos] != '"' && text[pos] != '\''))
            throw Failure{Code::UnexpectedToken, pos, {}};
        std::size_t valueStart = pos + 1;
        std::size_t close = text.find(text[pos], valueStart);
        if (close == npos || close > end)
            throw Failure{Code::UnexpectedToken, pos, {}};
        if (name == "encoding") {
            declaration.encoding = text.substr(valueStart, close - valueStart);
            declaration.encodingOffset = valueStart;
        }
        pos = close + 1;
    }
}

Encoding chooseEncoding(const Declaration& declaration) {
    if (declaration.encoding.empty())
        return Encoding::Utf8;
    std::optional<Encoding> encoding = encodingNamed(declaration.encoding);
    if (!encoding)
        throw Failure{Code::CharacterConversion, declaration.encodingOffset, {}};
    return *encoding;
}

class TreeBuilder {
public:
    explicit TreeBuilder(std::string_view text) : text(text) {}

    Node build() {
        while (pos < text.size()) {
            char c = text[pos];
            if (c == '<')
                readMarkup();
            else if (c == '&')
                readReferenceIntoText();
            else
                readPlainText();
        }
        if (!open.empty())
            throw Failure{Code::UnmatchedEndTag, open.back().offset, open.back().node->name()};
        if (!root)
            throw Failure{Code::NoElements, pos, {}};
        return std::move(*root);
    }

    std::size_t rootOffset() const { return rootStart; }
    Code warning() const { return firstWarning; }
    std::size_t warningOffset() const { return firstWarningOffset; }

private:
    struct OpenElement {
        Node* node;
        std::size_t offset;
    };

    // A linear search is fastest for the few attributes of ordinary tags; a set keeps a tag with
    // very many attributes from becoming quadratic.
    static constexpr std::size_t LinearSearchLimit = 16;

    void readMarkup() {
        std::string_view rest = text.substr(pos);
        if (rest.starts_with("<?"))
            skipPast("?>", pos + 2);
        else if (rest.starts_with("<!--"))
            skipPast("-->", pos + 4);
        else if (rest.starts_with("<![CDATA["))
            readCharacterData();
        else if (rest.starts_with("<!DOCTYPE"))
            skipDoctype();
        else if (rest.starts_with("<!"))
            throw Failure{Code::UnexpectedToken, pos, {}};
        else if (rest.starts_with("</"))
            readEndTag();
        else
            readStartTag();
    }

    void skipPast(std::string_view terminator, std::size_t from) {
        std::size_t end = text.find(terminator, from);
        if (end == npos)
            throw Failure{Code::UnmatchedClearTagEnd, pos, {}};
        pos = end + terminator.size();
    }

    void readCharacterData() {
        std::size_t start = pos + 9;
        std::size_t end = text.find("]]>", start);
        if (end == npos)
            throw Failure{Code::UnmatchedClearTagEnd, pos, {}};
        if (open.empty())
            throw Failure{Code::UnexpectedToken, pos, {}};
        std::string_view content = text.substr(start, end - start);
        std::size_t nul = content.find('\0');
        if (nul != npos)
            throw Failure{Code::UnexpectedToken, start + nul, {}};
        open.back().node->appendText(content);
        pos = end + 3;
    }

    // Quotes and the brackets of an internal subset may hide a '>'.
    void skipDoctype() {
        std::size_t start = pos;
        pos += 9;
        char quote = '\0';
        int depth = 0;
        while (pos < text.size()) {
            if (!quote && text.substr(pos).starts_with("<!--")) {
                skipPast("-->", pos + 4);
                continue;
            }
            char c = text[pos++];
            if (quote) {
                if (c == quote)
                    quote = '\0';
            } else if (c == '"' || c == '\'') {
                quote = c;
            } else if (c == '[') {
                ++depth;
            } else if (c == ']' && depth > 0) {
                --depth;
            } else if (c == '>' && depth == 0) {
                return;
            }
        }
        throw Failure{Code::UnmatchedClearTagEnd, start, {}};
    }

    void readStartTag() {
        std::size_t start = pos++;
        if (pos >= text.size() || !isNameStart(text[pos]))
            throw Failure{Code::MissingStartTagName, start, {}};
        std::string_view name = readName();
        if (root && open.empty())
            throw Failure{Code::UnexpectedToken, start, {}};
        if (open.size() >= std::size_t(Parser::MaxDepth))
            throw Failure{Code::NestedTooDeeply, start, {}};
        seenNames.clear();
        attributes.clear();
        while (true) {
            bool spaced = skipBlanks();
            if (pos >= text.size())
                throw Failure{Code::UnexpectedToken, pos, {}};
            char c = text[pos];
            if (c == '>') {
                ++pos;
                attach(name, start, true);
                return;
            }
            if (c == '/' && pos + 1 < text.size() && text[pos + 1] == '>') {
                pos += 2;
                attach(name, start, false);
                return;
            }
            if (!spaced || !isNameStart(c))
                throw Failure{Code::UnexpectedToken, pos, {}};
            readAttribute();
        }
    }

    // The element is made in its place in the tree and then given its attributes, rather than
    // being built aside and moved in. The parent's vector of children does not grow while a child
    // is open (new children go to the innermost open element), so the pointers on the stack stay
    // valid.
    void attach(std::string_view name, std::size_t start, bool keepOpen) {
        Node* stored;
        if (open.empty()) {
            root.emplace(Node::element(std::string(name)));
            rootStart = start;
            stored = &*root;
        } else {
            stored = &open.back().node->appendChild(Node::element(std::string(name)));
        }
        stored->reserveAttributes(attributes.size());
        for (auto& [attributeName, value] : attributes)
            stored->appendAttribute(attributeName, std::move(value));
        if (keepOpen)
            open.push_back({stored, start});
    }

    void readAttribute() {
        std::size_t start = pos;
        std::string_view name = readName();
        skipBlanks();
        if (pos >= text.size() || text[pos] != '=')
            throw Failure{Code::UnexpectedToken, pos, {}};
        ++pos;
        skipBlanks();
        if (pos >= text.size() || (text[pos] != '"' && text[pos] != '\''))
            throw Failure{Code::UnexpectedToken, pos, {}};
        std::string value = readAttributeValue(text[pos++]);
        if (isDuplicate(name))
            throw Failure{Code::UnexpectedToken, start, {}};
        attributes.emplace_back(name, std::move(value));
    }

    std::string readAttributeValue(char quote) {
        std::size_t close = text.find(quote, pos);
        if (close != npos) {
            std::string_view plain = text.substr(pos, close - pos);
            if (std::none_of(plain.begin(), plain.end(),
                             [](char c) { return c == '&' || c == '<' || c == '\0'; })) {
                pos = close + 1;
                return std::string(plain);
            }
        }
        std::string value;
        while (true) {
            if (pos >= text.size())
                throw Failure{Code::UnexpectedToken, pos, {}};
            char c = text[pos];
            if (c == quote) {
                ++pos;
                return value;
            }
            if (c == '&') {
                readReference(value);
                continue;
            }
            if (c == '<' || c == '\0')
                throw Failure{Code::UnexpectedToken, pos, {}};
            std::size_t runStart = pos;
            while (pos < text.size() && text[pos] != quote && text[pos] != '&' &&
                   text[pos] != '<' && text[pos] != '\0')
                ++pos;
            value.append(text.substr(runStart, pos - runStart));
        }
    }

    bool isDuplicate(std::string_view name) {
        if (seenNames.size() >= LinearSearchLimit)
            return !seenSet.insert(name).second;
        for (std::string_view seen : seenNames) {
            if (seen == name)
                return true;
        }
        seenNames.push_back(name);
        if (seenNames.size() == LinearSearchLimit)
            seenSet = std::unordered_set<std::string_view>(seenNames.begin(), seenNames.end());
        return false;
    }

    void readEndTag() {
        std::size_t start = pos;
        pos += 2;
        if (pos >= text.size() || !isNameStart(text[pos]))
            throw Failure{Code::MissingEndTagName, start, {}};
        std::string_view name = readName();
        skipBlanks();
        if (pos >= text.size() || text[pos] != '>')
            throw Failure{Code::UnexpectedToken, pos, {}};
        ++pos;
        std::size_t depth = open.size();
        while (depth > 0 && open[depth - 1].node->name() != name)
            --depth;
        if (depth == 0)
            throw Failure{Code::UnmatchedEndTag, start, std::string(name)};
        if (depth != open.size() && firstWarning == Code::None) {
            firstWarning = Code::WarningUnmatchedEndTag;
            firstWarningOffset = start;
        }
        open.resize(depth - 1);
    }

    void readPlainText() {
        std::size_t start = pos;
        while (pos < text.size()) {
            char c = text[pos];
            if (c == '<' || c == '&')
                break;
            if (c == '\0')
                throw Failure{Code::UnexpectedToken, pos, {}};
            ++pos;
        }
        std::string_view piece = text.substr(start, pos - start);
        if (open.empty()) {
            std::size_t visible = piece.find_first_not_of(" \t\r\n");
            if (visible != npos)
                throw Failure{Code::UnexpectedToken, start + visible, {}};
            return;
        }
        open.back().node->appendText(piece);
    }

    void readReferenceIntoText() {
        if (open.empty())
            throw Failure{Code::UnexpectedToken, pos, {}};
        std::string decoded;
        readReference(decoded);
        open.back().node->appendText(decoded);
    }

    void readReference(std::string& out) {
        std::size_t start = pos;
        std::size_t limit = std::min(text.size(), pos + 1 + MaxReferenceLength);
        std::size_t semicolon = text.substr(0, limit).find(';', pos + 1);
        if (semicolon == npos)
            throw Failure{Code::UnknownCharacterEntity, start, {}};
        std::string_view body = text.substr(pos + 1, semicolon - pos - 1);
        if (body.starts_with('#')) {
            unsigned int codePoint = 0;
            if (!decodeNumericReference(body, codePoint))
                throw Failure{Code::UnknownCharacterEntity, start, {}};
            appendUtf8(out, codePoint);
        } else {
            char c = predefinedEntity(body);
            if (c == '\0')
                throw Failure{Code::UnknownCharacterEntity, start, {}};
            out += c;
        }
        pos = semicolon + 1;
    }

    std::string_view readName() {
        std::size_t start = pos++;
        while (pos < text.size() && isNameCharacter(text[pos]))
            ++pos;
        return text.substr(start, pos - start);
    }

    bool skipBlanks() {
        std::size_t start = pos;
        while (pos < text.size() && isBlank(text[pos]))
            ++pos;
        return pos != start;
    }

    std::string_view text;
    std::size_t pos = 0;
    std::optional<Node> root;
    std::size_t rootStart = 0;
    std::vector<OpenElement> open;
    std::vector<std::pair<std::string_view, std::string>> attributes;
    std::vector<std::string_view> seenNames;
    std::unordered_set<std::string_view> seenSet;
    Code firstWarning = Code::None;
    std::size_t firstWarningOffset = 0;
};

void setOutcome(Status& status, Code code, std::string_view text, std::size_t offset) {
    status.code = code;
    status.message = codeMessage(code);
    locate(text, offset, status.line, status.column);
}

bool readWholeFile(const char* path, std::string& content) {
    FileDescriptor file(::open(path, O_RDONLY | O_CLOEXEC));
    if (!file.valid())
        return false;
    char buffer[65536];
    while (true) {
        ssize_t count = ::read(file.get(), buffer, sizeof buffer);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            return false;
        if (count == 0)
            return true;
        content.append(buffer, std::size_t(count));
    }
}

} // namespace

std::optional<Node> Parser::parse(std::string_view document, Status& status,
                                  const char* expectedRoot) {
    status = Status();
    std::string converted;
    std::string_view text = withoutByteOrderMark(document);
    try {
        if (text.find_first_not_of(" \t\r\n") == npos)
            throw Failure{Code::NoXmlData, 0, {}};
        Declaration declaration = readDeclaration(text);
        Encoding encoding = chooseEncoding(declaration);
        if (encoding != Encoding::Utf8) {
            bool convertedAll = convertToUtf8(text, encoding, converted);
            text = converted;
            if (!convertedAll)
                throw Failure{Code::CharacterConversion, converted.size(), {}};
        } else if (std::size_t invalid = findInvalidUtf8(text); invalid != npos) {
            throw Failure{Code::CharacterConversion, invalid, {}};
        }
        TreeBuilder builder(text);
        Node root = builder.build();
        if (expectedRoot && root.name() != expectedRoot)
            throw Failure{Code::FirstTagNotFound, builder.rootOffset(), root.name()};
        if (builder.warning() != Code::None)
            setOutcome(status, builder.warning(), text, builder.warningOffset());
        else if (!declaration.present)
            setOutcome(status, Code::WarningNoXmlTag, text, 0);
        return root;
    } catch (const Failure& failure) {
        setOutcome(status, failure.code, text, failure.offset);
        status.tagName = failure.tagName;
        if (failure.code == Code::FirstTagNotFound)
            status.message = std::string("First Tag should be '") + expectedRoot + "'";
        return std::nullopt;
    }
}

std::optional<Node> Parser::parseFile(const char* path, Status& status, const char* expectedRoot) {
    std::string content;
    if (!readWholeFile(path, content)) {
        status = Status();
        status.code = Code::FileNotFound;
        status.message = codeMessage(Code::FileNotFound);
        return std::nullopt;
    }
    return parse(content, status, expectedRoot);
}

} // namespace xml
