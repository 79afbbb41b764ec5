// Parsing ".po" files: entries, continuation lines, string literals, every error report, and
// agreement with what the gettext tools compile from the same file.
#include <loc/PoParser.h>

#include "support/moFile.h"

#include <support/RecordingLogDest.h>
#include <support/TemporaryDirectory.h>
#include <support/fileContents.h>

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace {

using Entries = std::map<std::string, std::string>;

struct Parsed {
    Entries entries;
    std::vector<testsupport::RecordingLogDest::Message> log;
    std::string dump;
};

Parsed parse(std::string_view text, const char* sourceName = "test.po") {
    testsupport::LogRecording capture("Localize");
    Parsed parsed;
    loc::PoParser(sourceName, "de", [&parsed](std::string_view key, std::string_view value) {
        parsed.entries[std::string(key)] = value;
    }).parse(text);
    parsed.log = capture.messages();
    parsed.dump = capture.dump();
    return parsed;
}

// The one error a text produces, with its line number.
std::string onlyError(std::string_view text) {
    Parsed parsed = parse(text);
    if (parsed.log.size() != 1)
        return "(" + std::to_string(parsed.log.size()) + " messages)\n" + parsed.dump;
    EXPECT_EQ(parsed.log[0].level, 0);
    return parsed.log[0].text;
}

TEST(PoParser, ReadsEntriesWithoutComplaint) {
    struct Case {
        const char* what;
        std::string text;
        Entries entries;
    };
    for (const Case& c : {
             Case{"escapes have their C meanings",
                  R"(msgid "key"
msgstr "\"\'\?\\|\a\b\f\n\r\t\v|\101\x42\x7e\0101")",
                  {{"key", "\"'?\\|\a\b\f\n\r\t\v|AB~\0101"}}},
             Case{"untranslated and fuzzy entries leave the key to others; flags need no "
                  "empty line before them",
                  "msgid \"empty\"\nmsgstr \"\"\n"
                  "#, fuzzy\nmsgid \"guess\"\nmsgstr \"Vermutung\"\n"
                  "#, no-wrap, fuzzy , c-format\nmsgid \"guess2\"\nmsgstr \"Vermutung\"\n"
                  "#, no-wrap\nmsgid \"kept\"\nmsgstr \"behalten\"\nmsgid \"c\"\nmsgstr \"C\"\n",
                  {{"kept", "behalten"}, {"c", "C"}}},
             Case{"contexts and plural forms keep to their own keys",
                  "msgctxt \"menu\"\nmsgid \"open\"\nmsgstr \"Öffnen\"\n\n"
                  "msgid \"file\"\nmsgid_plural \"files\"\n"
                  "msgstr[0] \"Datei\"\nmsgstr[1] \"Dateien\"\n\"!\"\n",
                  {{"menu\x04open", "Öffnen"}, {"file", "Datei"}}},
             Case{"indented and blank lines are accepted",
                  "  msgid \"a\"\n\tmsgstr\t\"A\"\n   \t\nmsgid \"b\"\n    \"c\"\nmsgstr \"B\"\n",
                  {{"a", "A"}, {"bc", "B"}}},
         }) {
        Parsed parsed = parse(c.text);
        EXPECT_EQ(parsed.entries, c.entries) << c.what;
        EXPECT_TRUE(parsed.log.empty()) << c.what << "\n" << parsed.dump;
    }
}

TEST(PoParser, ErrorsNameTheFileLineAndWhatWasWrong) {
    struct Case {
        std::string text;
        const char* error;
    };
    for (const Case& c : {
             Case{"msgid x\"a\"\n", "test.po:1 Junk preceding string data"},
             Case{"msgid \"a\"\nmsgstr \"b\"\n\"c\"x\n", "test.po:3 Junk following string data"},
             Case{"msgid \"a\"\nmsgstr \"b\"\n\"c\\", "test.po:3 Invalid escape at end"},
             Case{"msgid \"a\"\nmsgstr \"b\"\n\"\\q\"\n", "test.po:3 Invalid escape code"},
             Case{"msgid \"a\n", "test.po:1 Missing terminator"},
             Case{"msgstr \"b\"\n", "test.po:1 Expected msgid"},
             Case{"msgctxt \"c\"\nmsgstr \"b\"\nmsgid \"a\"\nmsgstr \"b\"\n",
                  "test.po:2 Expected msgid"},
             Case{"msgid \"a\"\nmsgid \"b\"\nmsgstr \"c\"\n", "test.po:2 Expected msgstr"},
             Case{"msgid \"a\"\nmsgid_plural \"b\"\nmsgstr \"c\"\nmsgstr[0] \"d\"\n",
                  "test.po:3 Expected msgstr"},
             Case{"msgid \"a\"\nmsgstr \"b\"\nmsgstr \"c\"\n", "test.po:3 Bad command or string"},
             Case{"msgid\n", "test.po:1 Bad command or string"},
         })
        EXPECT_EQ(onlyError(c.text), c.error) << c.text;
    // Numeric escapes outside ASCII, or of NUL, are invalid.
    for (const char* escape : {"\\x", "\\xg", "\\0", "\\x00", "\\200", "\\xc3", "\\x100"}) {
        std::string text = std::string("msgid \"a\"\nmsgstr \"b\"\n\"") + escape + "\"\n";
        EXPECT_EQ(onlyError(text), "test.po:3 Invalid escape code") << escape;
    }
}

TEST(PoParser, AnEntryWithoutMsgstrFailsWhereItEnds) {
    Parsed parsed = parse("msgid \"a\"\n\nmsgid \"b\"\nmsgstr \"B\"\nmsgid \"c\"");
    EXPECT_EQ(parsed.entries, (Entries{{"b", "B"}}));
    ASSERT_EQ(parsed.log.size(), 2u) << parsed.dump;
    EXPECT_EQ(parsed.log[0].text, "test.po:2 Expected msgstr");
    EXPECT_EQ(parsed.log[1].text, "test.po:5 Expected msgstr");
}

TEST(PoParser, LinesWithBadUtf8OrANulByteAreReportedAndSkipped) {
    using namespace std::string_literals;
    Parsed parsed = parse("msgid \"a\"\n"
                          "msgstr \"caf\xC3\"\n"
                          "msgstr \"A\"\n"
                          "msgid \"b\xE2\x82\"\n"
                          "msgstr \"x\0y\"\n"s);
    ASSERT_EQ(parsed.log.size(), 3u) << parsed.dump;
    for (std::size_t i = 0; i < 3; ++i) {
        const std::string& text = parsed.log[i].text;
        std::string prefix = "test.po:" + std::to_string(2 + 2 * i - i / 2) + " Bad UTF-8 (";
        EXPECT_TRUE(text.starts_with(prefix)) << text;
        EXPECT_TRUE(text.ends_with(") for 'de' locale")) << text;
        EXPECT_EQ(parsed.log[i].level, 0);
    }
    EXPECT_EQ(parsed.entries, (Entries{{"a", "A"}}));
}

// A catalogue with every construct that the gettext tools accept and that the parser reads.
const char* const Catalogue = R"(# Translator comment
msgid ""
msgstr ""
"Content-Type: text/plain; charset=UTF-8\n"
"Plural-Forms: nplurals=2; plural=(n != 1);\n"

#. extracted comment
#: source.cpp:12
msgid "loctest_simple"
msgstr "Einfach"

msgid "loctest_long"
msgstr ""
"Eine lange Zeile, "
"über zwei Zeilen fortgesetzt"

msgid ""
"loctest_"
"split_key"
msgstr "Geteilter Schlüssel"

msgid "loctest_escapes"
msgstr "Tab\there, quote \" backslash \\ newline\n octal \101 hex \x42"

#, fuzzy
msgid "loctest_fuzzy"
msgstr "Vielleicht"

msgid "loctest_untranslated"
msgstr ""

msgctxt "menu"
msgid "loctest_simple"
msgstr "Im Menü"

msgid "loctest_file"
msgid_plural "loctest_files"
msgstr[0] "%D Datei"
msgstr[1] "%D Dateien"

msgid "loctest_unicode"
msgstr "Größe – 日本語 – 🙂"

#| msgid "loctest_previous"
msgid "loctest_with_previous"
msgstr "Mit Vorgänger"

#~ msgid "loctest_obsolete"
#~ msgstr "Veraltet"
)";

// The compiled entries as a single-key lookup sees them: the header dropped, plural forms cut to
// the first.
Entries lookupView(const std::map<std::string, std::string>& compiled) {
    Entries view;
    for (const auto& [original, translation] : compiled) {
        if (!original.empty())
            view[original.substr(0, original.find('\0'))] =
                translation.substr(0, translation.find('\0'));
    }
    return view;
}

TEST(PoParser, ReadsWhatTheGettextToolsCompile) {
    if (!loctest::haveGettextTools())
        GTEST_SKIP() << "msgfmt and msgunfmt are not installed";
    testsupport::TemporaryDirectory directory;
    std::string source = directory.write("catalogue.po", Catalogue);
    std::string compiled = directory.path() + "/catalogue.mo";
    ASSERT_EQ(
        loctest::runCommand("msgfmt --check-format --check-domain -o " + compiled + " " + source),
        0);
    Entries expected = lookupView(loctest::readMoFile(compiled));
    ASSERT_GE(expected.size(), 7u);

    Parsed parsed = parse(Catalogue);
    EXPECT_EQ(parsed.entries, expected);
    EXPECT_TRUE(parsed.log.empty()) << parsed.dump;

    // The tools' own rendering of the catalogue: their line breaks and escapes.
    std::string rendered = directory.path() + "/rendered.po";
    ASSERT_EQ(loctest::runCommand("msgunfmt --width=30 -o " + rendered + " " + compiled), 0);
    Parsed reparsed = parse(testsupport::readFile(rendered));
    EXPECT_EQ(reparsed.entries, expected);
    EXPECT_TRUE(reparsed.log.empty()) << reparsed.dump;
}

} // namespace
