// Writing node trees: the header, entity escaping, the three encodings, files, and reading
// written documents back.
#include <xml/Writer.h>

#include <xml/Parser.h>

#include <support/TemporaryDirectory.h>
#include <support/fileContents.h>

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <unistd.h>

namespace {

using xml::Code;
using xml::Node;
using xml::Status;
using xml::WriteOptions;
using xml::Writer;

Node sampleTree() {
    Node root = Node::element("config");
    Node& entry = root.appendChild(Node::element("string"));
    entry.setAttribute("name", "Greeting");
    entry.setAttribute("description", "Say \"hi\" & <wave>, it's\nfine");
    entry.appendText("caf\u00E9 \u65E5\u672C <b>&amp;</b> ");
    Node& nested = entry.appendChild(Node::element("value"));
    nested.setAttribute("data", "x'y");
    root.appendChild(Node::element("empty"));
    root.appendText("tail");
    return root;
}

TEST(WriterText, WritesHeaderNamingTheEncodingAndEscapesTheFiveEntities) {
    Node root = Node::element("r");
    root.setAttribute("a", "<\"&'>");
    root.appendText("1 < 2 & \"q\" 'a' >");
    std::string out;
    EXPECT_EQ(Writer::toText(root, out).code, Code::None);
    EXPECT_EQ(out, "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
                   "<r a=\"&lt;&quot;&amp;&apos;&gt;\">"
                   "1 &lt; 2 &amp; &quot;q&quot; &apos;a&apos; &gt;</r>\n");
}

TEST(WriterRoundTrip, ParsingWrittenDocumentGivesTheSameTree) {
    Node latin1Tree = Node::element("config");
    latin1Tree.appendChild(Node::element("s")).appendText("caf\u00E9 \u00FF <&>");
    Node shiftJisTree = Node::element("config");
    shiftJisTree.appendChild(Node::element("s")).appendText("\u65E5\u672C\uFF71 C:\\dir <&>");
    using Case = std::tuple<const char*, Node>;
    for (const auto& [encoding, tree] :
         {Case{"utf-8", sampleTree()}, Case{"ISO-8859-1", latin1Tree},
          Case{"SHIFT-JIS", shiftJisTree}}) {
        std::string out;
        WriteOptions options;
        options.encoding = encoding;
        ASSERT_EQ(Writer::toText(tree, out, options).code, Code::None) << encoding;
        Status status;
        EXPECT_EQ(xml::Parser::parse(out, status), tree) << encoding << ": " << status.message;
    }
}

TEST(WriterEncodings, TextTheEncodingCannotHoldFailsLeavingNoOutput) {
    using Case = std::tuple<const char*, const char*, Code>;
    for (auto [encoding, text, code] : {Case{"shift-jis", "caf\u00E9", Code::CharacterConversion},
                                        Case{"ISO-8859-1", "\u20AC", Code::CharacterCodeAbove255},
                                        Case{"ebcdic", "", Code::CharacterConversion},
                                        Case{"utf-8", "bad \xC3(", Code::CharacterConversion},
                                        Case{"shiftjis", "bad \xC3(", Code::CharacterConversion}}) {
        Node root = Node::element("r");
        root.appendText(text);
        std::string out = "stale";
        WriteOptions options;
        options.encoding = encoding;
        Status status = Writer::toText(root, out, options);
        EXPECT_EQ(status.code, code) << encoding << ": " << text;
        EXPECT_EQ(status.message, xml::codeMessage(code));
        EXPECT_TRUE(out.empty()) << encoding << ": " << text;
    }
}

TEST(WriterFiles, WritesTheDocumentOrReportsOpenAndWriteFailures) {
    testsupport::TemporaryDirectory directory;
    Node root = sampleTree();
    EXPECT_EQ(Writer::toFile(root, directory.file("out.xml").c_str()).code, Code::None);
    std::string expected;
    Writer::toText(root, expected);
    EXPECT_EQ(testsupport::readFile(directory.file("out.xml")), expected);

    Status status = Writer::toFile(root, directory.file("missing/out.xml").c_str());
    EXPECT_EQ(status.code, Code::CannotOpenForWriting);
    EXPECT_EQ(status.message, "Error: unable to open file for writing");
    if (access("/dev/full", W_OK) == 0) {
        status = Writer::toFile(root, "/dev/full");
        EXPECT_EQ(status.code, Code::CannotWriteFile);
        EXPECT_EQ(status.message, "Error: cannot write into file");
    }
}

} // namespace
