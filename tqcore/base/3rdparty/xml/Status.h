// Result codes of the XML parser, writer and Base64 codec, their fixed messages, and the place
// and details of a failure.
#pragma once

#include <string>

namespace xml {

enum class Code : int {
    None = 0,
    WarningUnmatchedEndTag = 1,
    WarningNoXmlTag = 2,
    NoXmlData = 3,
    MissingStartTagName = 4,
    MissingEndTagName = 5,
    UnmatchedEndTag = 6,
    UnmatchedClearTagEnd = 7,
    UnexpectedToken = 8,
    NoElements = 9,
    FileNotFound = 10,
    FirstTagNotFound = 11,
    UnknownCharacterEntity = 12,
    CharacterCodeAbove255 = 13,
    CharacterConversion = 14,
    CannotOpenForWriting = 15,
    CannotWriteFile = 16,
    Base64LengthNotMultipleOf4 = 17,
    Base64Truncated = 18,
    Base64IllegalCharacter = 19,
    Base64OutputTooSmall = 20,
    NestedTooDeeply = 21,
};

// The fixed message of a code; "Unknown" for a value that is no code.
const char* codeMessage(int code);
inline const char* codeMessage(Code code) {
    return codeMessage(static_cast<int>(code));
}

// Warnings leave a usable result; every other code except None is a failure.
bool isWarning(Code code);

struct Status {
    Code code = Code::None;
    // 1-based place in the document text; 0 when the outcome has no place in a text.
    int line = 0;
    int column = 0;
    // The code's message, or a more specific text for FirstTagNotFound.
    std::string message = codeMessage(Code::None);
    // The tag a failure concerns (the actual root, an unmatched end tag); empty otherwise.
    std::string tagName;

    bool failed() const { return code != Code::None && !isWarning(code); }
};

// "XML Parsing error inside file '<path>'.\n<message>\nAt line <n>, column <n>.\n" followed, when
// the failure names a tag, by "Tag is '<name>'.".
std::string fileErrorText(const char* path, const Status& status);

} // namespace xml
