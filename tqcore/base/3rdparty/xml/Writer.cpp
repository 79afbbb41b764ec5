// Serialising node trees as XML documents.
#include <xml/Writer.h>

#include <xml/encoding.h>

#include <cstdio>
#include <optional>

namespace xml {

namespace {

Status failure(Code code) {
    Status status;
    status.code = code;
    status.message = codeMessage(code);
    return status;
}

bool holdsText(const Node& element) {
    for (const Node& child : element.children()) {
        if (child.kind() == Node::Text)
            return true;
    }
    return false;
}

void appendNode(std::string& out, const Node& node, int depth, bool indent);

void appendElement(std::string& out, const Node& element, int depth, bool indent) {
    out += '<';
    out += element.name();
    for (const Node& attribute : element.attributes()) {
        out += ' ';
        out += attribute.name();
        out += "=\"";
        Writer::appendEscaped(out, attribute.value());
        out += '"';
    }
    if (element.children().empty()) {
        out += "/>";
        return;
    }
    out += '>';
    // Inside mixed content every blank would become part of the text.
    bool indentChildren = indent && !holdsText(element);
    for (const Node& child : element.children()) {
        if (indentChildren)
            out.append("\n").append(std::size_t(depth + 1) * 4, ' ');
        appendNode(out, child, depth + 1, indentChildren);
    }
    if (indentChildren)
        out.append("\n").append(std::size_t(depth) * 4, ' ');
    out += "</";
    out += element.name();
    out += '>';
}

void appendNode(std::string& out, const Node& node, int depth, bool indent) {
    switch (node.kind()) {
    case Node::Element:
        appendElement(out, node, depth, indent);
        break;
    case Node::Text:
        Writer::appendEscaped(out, node.value());
        break;
    case Node::Attribute:
        break;
    }
}

} // namespace

void Writer::appendEscaped(std::string& out, std::string_view text) {
    for (char c : text) {
        switch (c) {
        case '"':
            out += "&quot;";
            break;
        case '&':
            out += "&amp;";
            break;
        case '\'':
            out += "&apos;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        default:
            out += c;
        }
    }
}

Status Writer::toText(const Node& root, std::string& out, const WriteOptions& options) {
    out.clear();
    const char* encodingName = options.encoding ? options.encoding : "utf-8";
    std::optional<Encoding> encoding = encodingNamed(encodingName);
    if (!encoding)
        return failure(Code::CharacterConversion);
    std::string document = "<?xml version=\"1.0\" encoding=\"";
    document += encodingName;
    document += "\"?>\n";
    appendNode(document, root, 0, options.indent);
    document += '\n';
    if (*encoding == Encoding::Utf8) {
        if (findInvalidUtf8(document) != std::string::npos)
            return failure(Code::CharacterConversion);
        out = std::move(document);
        return Status();
    }
    Code code = convertFromUtf8(document, *encoding, out);
    if (code != Code::None) {
        out.clear();
        return failure(code);
    }
    return Status();
}

Status Writer::toFile(const Node& root, const char* path, const WriteOptions& options) {
    std::string bytes;
    Status status = toText(root, bytes, options);
    if (status.failed())
        return status;
    // stdio goes on after short writes; the final fclose reports what the last flush met.
    std::FILE* file = std::fopen(path, "we");
    if (!file)
        return failure(Code::CannotOpenForWriting);
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (std::fclose(file) != 0 || !written)
        return failure(Code::CannotWriteFile);
    return Status();
}

} // namespace xml
