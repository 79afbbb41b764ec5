// Parsing XML documents: text decoding, skipped declarations, and the code, line and column of
// every kind of failure. The writer's round trips compare whole trees.
#include <xml/Parser.h>

#include <support/TemporaryDirectory.h>

#include <gtest/gtest.h>

#include <string>
#include <tuple>

namespace {

using xml::Code;
using xml::Node;
using xml::Parser;
using xml::Status;

const std::string header = "<?xml version=\"1.0\"?>\n";

Node parseOk(const std::string& document, const char* expectedRoot = nullptr) {
    Status status;
    std::optional<Node> root = Parser::parse(document, status, expectedRoot);
    EXPECT_FALSE(status.failed()) << document << "\n" << status.message;
    return root ? *root : Node::element("");
}

Status parseFailure(const std::string& document, const char* expectedRoot = nullptr) {
    Status status;
    std::optional<Node> root = Parser::parse(document, status, expectedRoot);
    EXPECT_FALSE(root.has_value()) << document;
    EXPECT_TRUE(status.failed()) << document;
    return status;
}

TEST(ParserText, DecodesPredefinedEntitiesAndCharacterReferences) {
    Node root = parseOk(header + "<r v=\"&lt;&amp;&gt;&quot;&apos;&#65;&#x20AC;\">"
                                 "&lt;a&gt; &amp; &quot;&apos; &#x1F600;&#228;&#0065;</r>");
    EXPECT_EQ(*root.attributeValue("v"), "<&>\"'A\u20AC");
    EXPECT_EQ(root.textContent(), "<a> & \"' \U0001F600\u00E4A");
    EXPECT_EQ(root.children().size(), 1u);
}

TEST(ParserText, KeepsCdataAsTextJoinedWithItsNeighbours) {
    Node root = parseOk(header + "<r>a<![CDATA[<b>&amp;]]]]>c<!-- note -->d</r>");
    ASSERT_EQ(root.children().size(), 1u);
    EXPECT_EQ(root.children()[0].value(), "a<b>&amp;]]c"
                                          "d");
}

TEST(ParserText, SkipsByteOrderMarkDoctypeCommentsAndProcessingInstructions) {
    Node root = parseOk("\xEF\xBB\xBF" + header +
                        "<!DOCTYPE r [ <!ENTITY e \"x>y\"> <!-- ] > --> <!ELEMENT r ANY> ]>\n"
                        "<?style sheet?><!-- c --><r><?pi inside?>t</r>\n<!-- after -->\n");
    EXPECT_EQ(root.name(), "r");
    EXPECT_EQ(root.textContent(), "t");
}

TEST(ParserWarnings, MissingDeclarationAndEndTagClosingInnerElementsAreAccepted) {
    Status status;
    std::optional<Node> root = Parser::parse("<r>x</r>", status);
    ASSERT_TRUE(root.has_value());
    EXPECT_EQ(status.code, Code::WarningNoXmlTag);
    EXPECT_FALSE(status.failed());
    EXPECT_EQ(status.message, "Warning: No XML tag found");

    status = Status();
    root = Parser::parse(header + "<r><a><b>x</a>y</r>", status);
    ASSERT_TRUE(root.has_value());
    EXPECT_EQ(status.code, Code::WarningUnmatchedEndTag);
    EXPECT_EQ(status.line, 2);
    EXPECT_EQ(status.column, 11);
    EXPECT_EQ(root->firstChild("a")->firstChild("b")->textContent(), "x");
    EXPECT_EQ(root->textContent(), "y");
}

TEST(ParserErrors, ReportCodeLineAndColumnInCharacters) {
    using Case = std::tuple<std::string, Code, int, int>;
    for (const auto& [document, code, line, column] : {
             Case{" \n\t ", Code::NoXmlData, 1, 1},
             Case{header + "<!-- only a comment -->\n", Code::NoElements, 3, 1},
             Case{header + "<r>< a/></r>", Code::MissingStartTagName, 2, 4},
             Case{header + "<r>x</ r>", Code::MissingEndTagName, 2, 5},
             Case{header + "<r>\n  </q></r>", Code::UnmatchedEndTag, 3, 3},
             Case{header + "<r>\n  <a>\n", Code::UnmatchedEndTag, 3, 3},
             Case{header + "<r><![CDATA[x</r>", Code::UnmatchedClearTagEnd, 2, 4},
             Case{header + "<r><!-- x </r>", Code::UnmatchedClearTagEnd, 2, 4},
             Case{header + "<!DOCTYPE r [ <r/>", Code::UnmatchedClearTagEnd, 2, 1},
             Case{"<?xml version=\"1.0\"", Code::UnmatchedClearTagEnd, 1, 1},
             Case{header + "<r a=\"1\"b=\"2\"/>", Code::UnexpectedToken, 2, 9},
             Case{header + "<r a/>", Code::UnexpectedToken, 2, 5},
             Case{header + "<r a=1/>", Code::UnexpectedToken, 2, 6},
             Case{header + "<r a=\"<\"/>", Code::UnexpectedToken, 2, 7},
             Case{header + "<r a=\"1", Code::UnexpectedToken, 2, 8},
             Case{header + "<r/><s/>", Code::UnexpectedToken, 2, 5},
             Case{header + "<r/>\n  tail", Code::UnexpectedToken, 3, 3},
             Case{header + "<r><!ELEMENT x></r>", Code::UnexpectedToken, 2, 4},
             Case{header + "<r>a&nbsp;b</r>", Code::UnknownCharacterEntity, 2, 5},
             Case{header + "<r>a &amp b</r>", Code::UnknownCharacterEntity, 2, 6},
             Case{header + "<r v=\"&#0;\"/>", Code::UnknownCharacterEntity, 2, 7},
             Case{header + "<r>&#xD800;</r>", Code::UnknownCharacterEntity, 2, 4},
             Case{header + "<r>&#99999999999999999999;</r>", Code::UnknownCharacterEntity, 2, 4},
             Case{header + "<r>&#12a;</r>", Code::UnknownCharacterEntity, 2, 4},
             Case{header + "<r>\u00E4\u00F6<q>\xC3</q></r>", Code::CharacterConversion, 2, 9},
             Case{"<?xml version=\"1.0\" encoding=\"utf-16\"?><r/>", Code::CharacterConversion, 1,
                  31},
             Case{"<?xml version=\"1.0\" encoding=\"shift-jis\"?>\n<r>\x93\xFA\x81</r>",
                  Code::CharacterConversion, 2, 5},
             Case{header + "<r>\u20AC\u20AC&bad;</r>", Code::UnknownCharacterEntity, 2, 6},
         }) {
        Status status = parseFailure(document);
        EXPECT_EQ(status.code, code) << document;
        EXPECT_EQ(status.message, xml::codeMessage(code)) << document;
        EXPECT_EQ(status.line, line) << document;
        EXPECT_EQ(status.column, column) << document;
    }
}

TEST(ParserErrors, NulByteIsUnexpected) {
    for (const std::string& document :
         {header + std::string("<r>a\0b</r>", 10), header + std::string("<r a=\"\0\"/>", 10),
          header + std::string("<r><![CDATA[\0]]></r>", 20)}) {
        EXPECT_EQ(parseFailure(document).code, Code::UnexpectedToken);
    }
}

TEST(ParserErrors, DuplicateAmongManyAttributesIsFound) {
    std::string tag = "<r";
    for (int i = 0; i < 40; ++i)
        tag += " a" + std::to_string(i) + "=\"" + std::to_string(i) + "\"";
    EXPECT_EQ(parseOk(header + tag + "/>").attributes().size(), 40u);
    EXPECT_EQ(parseFailure(header + tag + " a33=\"x\"/>").code, Code::UnexpectedToken);
}

TEST(ParserErrors, NestingBeyondTheLimitFails) {
    auto nested = [](int depth) {
        std::string document = header;
        for (int i = 0; i < depth; ++i)
            document += "<e>";
        for (int i = 0; i < depth; ++i)
            document += "</e>";
        return document;
    };
    parseOk(nested(Parser::MaxDepth));
    Status status = parseFailure(nested(Parser::MaxDepth + 1));
    EXPECT_EQ(status.code, Code::NestedTooDeeply);
    EXPECT_EQ(status.column, 3 * Parser::MaxDepth + 1);
    EXPECT_EQ(status.message, "Error: Elements nested too deeply");
}

TEST(ParserExpectedRoot, OtherRootFailsNamingTheExpectedTag) {
    Status status = parseFailure(header + "\n<other/>", "config");
    EXPECT_EQ(status.code, Code::FirstTagNotFound);
    EXPECT_EQ(status.message.rfind("First Tag should be 'config", 0), 0u) << status.message;
    EXPECT_EQ(status.tagName, "other");
    EXPECT_EQ(parseOk(header + "<config/>", "config").name(), "config");
}

TEST(ParserFiles, ReadsAFileOrReportsItMissing) {
    testsupport::TemporaryDirectory directory;
    std::string path = directory.write("a.xml", header + "<config><int name=\"a\"/></config>\n");
    Status status;
    std::optional<Node> root = Parser::parseFile(path.c_str(), status, "config");
    ASSERT_TRUE(root.has_value());
    EXPECT_NE(root->firstChild("int"), nullptr);

    EXPECT_FALSE(Parser::parseFile(directory.file("missing.xml").c_str(), status).has_value());
    EXPECT_EQ(status.code, Code::FileNotFound);
    EXPECT_EQ(status.message, "Error: File not found");
}

} // namespace
