// Parsing translation files in the gettext ".po" syntax. Every bad line is logged with its file
// and number and then skipped; the rest of the file is used.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace loc {

class PoParser {
public:
    // Receives each translated entry: the key (for an entry with a context, the context, a 0x04
    // byte and the msgid, as compiled catalogues have it) and the text.
    using Store = std::function<void(std::string_view key, std::string_view text)>;

    // sourceName and locale appear in the reports of bad lines.
    PoParser(std::string sourceName, std::string locale, Store store);

    // Parses a whole file's text; lines end at a line feed.
    void parse(std::string_view text);

private:
    // The keyword whose string a continuation line extends.
    enum class Keyword { None, Context, Id, IdPlural, Str, StrPlural, Unknown };

    void parseLine(std::string_view line);
    const char* continueString(std::string_view line);
    const char* parseKeywordLine(std::string_view line);
    const char* checkOrder(Keyword keyword) const;
    void apply(Keyword keyword, int index, std::string text);
    void noteComment(std::string_view line);
    void endEntry();
    void report(const char* message) const;

    std::string sourceName;
    std::string locale;
    Store store;
    int lineNumber = 0;

    // The entry being read.
    Keyword last = Keyword::None;
    std::string context;
    bool hasContext = false;
    std::string id;
    std::string text;
    bool fuzzy = false;
    // Strings that compiled catalogues keep but single-key lookups never see (the plural msgid,
    // the further plural forms) are read into this and dropped.
    std::string ignored;
    std::string* extended = nullptr;
    // A "#, fuzzy" flag belongs to the entry that follows it.
    bool fuzzyPending = false;
};

} // namespace loc
