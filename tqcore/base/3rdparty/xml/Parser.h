// The non-validating XML parser. It builds the element tree of a document in UTF-8, ISO-8859-1 or
// Shift-JIS (text comes out as UTF-8) and reports the first failure with its line and column.
#pragma once

#include <xml/Node.h>
#include <xml/Status.h>

#include <optional>
#include <string_view>

namespace xml {

// Grammar, beyond the usual: the "<?xml ...?>" declaration is optional (its absence is the
// warning WarningNoXmlTag); "<!DOCTYPE" declarations, comments and processing instructions are
// skipped wherever they appear; CDATA sections, character references and the five predefined
// entities become text, and adjacent text is one node; an end tag that closes an outer element
// closes the inner open ones too (WarningUnmatchedEndTag); an element still open at the end of the
// data is the error UnmatchedEndTag, reported at its start tag. Text is kept byte for byte,
// white space included.
class Parser {
public:
    // Deeper documents fail with NestedTooDeeply, so that code that walks the tree recursively,
    // and the tree's own destruction, cannot exhaust the stack.
    static constexpr int MaxDepth = 256;

    // Parses a whole document. On failure returns nothing and status.failed() is true; a warning
    // leaves the tree intact. With expectedRoot, a root element of another name fails with
    // FirstTagNotFound and the message "First Tag should be '<name>'".
    static std::optional<Node> parse(std::string_view document, Status& status,
                                     const char* expectedRoot = nullptr);

    // As parse, reading the file first; a file that cannot be read fails with FileNotFound.
    static std::optional<Node> parseFile(const char* path, Status& status,
                                         const char* expectedRoot = nullptr);
};

} // namespace xml
