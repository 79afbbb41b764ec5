// Fuzz target: the XML parser, the writer and Base64.
//
// Input: byte 0 picks an expected root name (odd: "config") or none; the rest is the document.
// A tree the parser accepts must write out and read back into the identical tree.
#include <xml/Base64.h>
#include <xml/Parser.h>
#include <xml/Writer.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

void checkRoundTrip(const xml::Node& root) {
    std::string written;
    if (xml::Writer::toText(root, written).failed())
        __builtin_trap();
    xml::Status status;
    std::optional<xml::Node> again = xml::Parser::parse(written, status);
    if (!again || status.code != xml::Code::None || !(*again == root))
        __builtin_trap();
}

void checkBase64(std::string_view bytes) {
    std::vector<unsigned char> decoded;
    xml::decodeBase64(bytes, decoded);
    if (decoded.size() != xml::decodedBase64Length(bytes))
        __builtin_trap();
    std::string encoded =
        xml::encodeBase64(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
    if (xml::decodeBase64(encoded, decoded) != xml::Code::None ||
        std::string_view(reinterpret_cast<const char*>(decoded.data()), decoded.size()) != bytes)
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1 || size > (1 << 20))
        return 0;
    std::string_view document(reinterpret_cast<const char*>(data + 1), size - 1);
    const char* expectedRoot = data[0] & 1 ? "config" : nullptr;
    xml::Status status;
    std::optional<xml::Node> root = xml::Parser::parse(document, status, expectedRoot);
    if (root.has_value() == status.failed())
        __builtin_trap();
    if (root)
        checkRoundTrip(*root);
    else
        xml::fileErrorText("fuzz.xml", status);
    checkBase64(document.substr(0, 4096));
    return 0;
}
