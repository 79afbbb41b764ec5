// Fuzz target: endpoint parsing and formatting, and both percent codings.
//
// Input: byte 0 chooses the context (base port or none, display range, whether a port is
// wanted); the rest is the text. A parsed endpoint must format back to a text that parses to the
// same host and port; encoding then decoding must give the text back (repaired to UTF-8 for
// endpoints); decoding any text either raises its own exception or gives text without a NUL.
#include <io/Endpoint.h>
#include <io/EndpointInvalid.h>
#include <io/percentEncoding.h>
#include <plat/DString.h>
#include <plat/Exception.h>
#include <plat/utf8.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

void require(bool condition) {
    if (!condition)
        std::abort();
}

bool sameText(const plat::DString& a, const std::string& b) {
    return a.length() == int(b.size()) && std::memcmp(a.c_str(), b.data(), b.size()) == 0;
}

void checkEndpoint(const std::string& text, std::uint8_t context) {
    const int basePorts[] = {-1, 0, 5900, 65500};
    int basePort = basePorts[context & 3];
    int range = (context & 4) ? 100 : 0;
    bool wantPort = (context & 8) == 0;
    plat::DString host;
    int port = -1;
    try {
        io::parseEndpoint(text.c_str(), host, wantPort ? &port : nullptr, basePort, range);
    } catch (const io::EndpointInvalid&) {
        return;
    }
    require(!host.isEmpty());
    if (!wantPort)
        return;
    require(port >= 1 && port <= 65535);
    plat::DString formatted = io::formatEndpoint(host.c_str(), port, basePort, range);
    plat::DString hostAgain;
    int portAgain = -1;
    io::parseEndpoint(formatted.c_str(), hostAgain, &portAgain, basePort, range);
    require(std::strcmp(hostAgain.c_str(), host.c_str()) == 0 && portAgain == port);
}

void checkCodings(const std::string& text) {
    plat::DString repaired = plat::sanitiseUtf8(text.c_str());
    plat::DString endpoint =
        io::percentDecodeEndpoint(io::percentEncodeEndpoint(text.c_str()).c_str());
    require(std::strcmp(endpoint.c_str(), repaired.c_str()) == 0);
    for (bool keepNonAscii : {false, true})
        for (bool plusIsSpace : {false, true})
            require(
                sameText(io::percentDecode(io::percentEncode(text.c_str(), keepNonAscii).c_str(),
                                           plusIsSpace),
                         text));
}

void checkDecoders(const std::string& text) {
    try {
        plat::DString decoded = io::percentDecodeEndpoint(text.c_str());
        require(plat::isValidUtf8(decoded.c_str()));
    } catch (const io::EndpointInvalid& e) {
        require(std::strcmp(e.key(), "io_error_endpoint_badescape") == 0);
    }
    try {
        plat::DString decoded = io::percentDecode(text.c_str(), true);
        require(decoded.length() <= int(text.size()));
    } catch (const plat::Exception& e) {
        require(std::strcmp(e.message(), "Bad percent encoding") == 0);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1 || size > 512)
        return 0;
    std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
    if (text.find('\0') != std::string::npos)
        return 0;
    checkEndpoint(text, data[0]);
    checkCodings(text);
    checkDecoders(text);
    return 0;
}
