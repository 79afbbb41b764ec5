// Fixed messages of the XML result codes and the report of a failure inside a file.
#include <xml/Status.h>

#include <cstdio>
#include <iterator>

namespace xml {

namespace {

const char* const messages[] = {
    "No error",
    "Warning: Unmatched end tag",
    "Warning: No XML tag found",
    "Error: No XML data",
    "Error: Missing start tag name",
    "Error: Missing end tag name",
    "Error: Unmatched end tag",
    "Error: Unmatched clear tag end",
    "Error: Unexpected token found",
    "Error: No elements found",
    "Error: File not found",
    "Error: First Tag not found",
    "Error: Unknown character entity",
    "Error: Character code above 255 is forbidden in MultiByte char mode.",
    "Error: unable to convert between WideChar and MultiByte chars",
    "Error: unable to open file for writing",
    "Error: cannot write into file",
    "Warning: Base64-string length is not a multiple of 4",
    "Warning: Base64-string is truncated",
    "Error: Base64-string contains an illegal character",
    "Error: Base64 decode output buffer is too small",
    "Error: Elements nested too deeply",
};

} // namespace

const char* codeMessage(int code) {
    if (code < 0 || code >= int(std::size(messages)))
        return "Unknown";
    return messages[code];
}

bool isWarning(Code code) {
    switch (code) {
    case Code::WarningUnmatchedEndTag:
    case Code::WarningNoXmlTag:
    case Code::Base64LengthNotMultipleOf4:
    case Code::Base64Truncated:
        return true;
    default:
        return false;
    }
}

std::string fileErrorText(const char* path, const Status& status) {
    bool namesTag = !status.tagName.empty();
    const char* format = "XML Parsing error inside file '%s'.\n%s\nAt line %i, column %i.\n%s%s%s";
    const char* tagPrefix = namesTag ? "Tag is '" : "";
    const char* tagSuffix = namesTag ? "'." : "";
    int length =
        std::snprintf(nullptr, 0, format, path ? path : "", status.message.c_str(), status.line,
                      status.column, tagPrefix, status.tagName.c_str(), tagSuffix);
    std::string text(std::size_t(length), '\0');
    std::snprintf(text.data(), text.size() + 1, format, path ? path : "", status.message.c_str(),
                  status.line, status.column, tagPrefix, status.tagName.c_str(), tagSuffix);
    return text;
}

} // namespace xml
