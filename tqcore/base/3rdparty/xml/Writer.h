// Writing a node tree as an XML document in UTF-8, ISO-8859-1 or Shift-JIS.
#pragma once

#include <xml/Node.h>
#include <xml/Status.h>

#include <string>
#include <string_view>

namespace xml {

struct WriteOptions {
    // Named in the header and used for the bytes; one of the names the parser understands.
    const char* encoding = "utf-8";
    // Puts each child of an element that holds no text on its own line, indented by four blanks
    // per level. The parser keeps that white space as text, so only documents written without
    // indentation read back into the identical tree.
    bool indent = false;
};

class Writer {
public:
    // The document: "<?xml version=\"1.0\" encoding=\"<encoding>\"?>\n", the root, a line feed.
    // Fails with CharacterConversion for an unknown encoding or text it cannot hold (invalid
    // UTF-8 included), and with CharacterCodeAbove255 when ISO-8859-1 cannot hold a character.
    static Status toText(const Node& root, std::string& out, const WriteOptions& options = {});
    // As toText, then writes the bytes to the file; CannotOpenForWriting and CannotWriteFile.
    static Status toFile(const Node& root, const char* path, const WriteOptions& options = {});

    // Text with the five predefined entities for '"', '&', '\'', '<' and '>'.
    static void appendEscaped(std::string& out, std::string_view text);
};

} // namespace xml
