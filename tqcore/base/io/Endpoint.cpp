// Parsing and formatting of endpoint names. Port digits are checked against the port range as
// they are read, so that no run of digits can wrap around into a valid port.
#include <io/Endpoint.h>

#include <io/EndpointInvalid.h>

#include <cstring>
#include <string_view>

namespace io {

namespace {

constexpr long MaxPort = 65535;

constexpr const char* BadPortKey = "io_error_endpoint_badport";
constexpr const char* BracketKey = "io_error_endpoint_bracket";
constexpr const char* EmptyKey = "io_error_endpoint_empty";
constexpr const char* GeneralKey = "io_error_endpoint_general";

// The host part of text (with its brackets), and in rest what follows it.
std::string_view splitHostPart(std::string_view text, std::string_view& rest) {
    if (!text.empty() && text.front() == '[') {
        std::size_t close = text.find(']');
        if (close == std::string_view::npos)
            throw EndpointInvalid(BracketKey);
        if (close == 1)
            throw EndpointInvalid(EmptyKey);
        rest = text.substr(close + 1);
        return text.substr(0, close + 1);
    }
    std::size_t colon = text.find(':');
    rest = colon == std::string_view::npos ? std::string_view() : text.substr(colon);
    return text.substr(0, colon);
}

// The value of a run of decimal digits; -1 for an empty run.
long portDigits(std::string_view digits) {
    if (digits.empty())
        return -1;
    long value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9')
            throw EndpointInvalid(BadPortKey);
        value = value * 10 + (c - '0');
        if (value > MaxPort)
            throw EndpointInvalid(BadPortKey);
    }
    return value;
}

// The port that the text after the host part names, or -1 for none.
long portAfterHost(std::string_view rest, bool portWanted, int basePort, int range) {
    if (rest.empty())
        return -1;
    if (rest.front() != ':')
        throw EndpointInvalid(GeneralKey);
    bool literal = rest.size() >= 2 && rest[1] == ':';
    long number = portDigits(rest.substr(literal ? 2 : 1));
    if (number >= 0 && !portWanted)
        throw EndpointInvalid(BadPortKey);
    if (number >= 0 && !literal && basePort >= 0 && number < range)
        return basePort + number;
    return number;
}

void checkNoInnerBrackets(std::string_view hostPart) {
    std::string_view inner = hostPart;
    if (!inner.empty() && inner.front() == '[')
        inner = inner.substr(1, inner.size() - 2);
    if (inner.find_first_of("[]") != std::string_view::npos)
        throw EndpointInvalid(GeneralKey);
}

} // namespace

void parseEndpoint(const char* text, plat::DString& host, int* port, int basePort, int range) {
    host.clear();
    std::string_view whole(text ? text : "");
    if (whole.empty() && basePort < 0)
        throw EndpointInvalid(EmptyKey);
    std::string_view rest;
    std::string_view hostPart = splitHostPart(whole, rest);
    long number = portAfterHost(rest, port != nullptr, basePort, range);
    if (port) {
        if (number < 0)
            number = basePort;
        if (number < 1 || number > MaxPort)
            throw EndpointInvalid(BadPortKey);
        *port = int(number);
    }
    checkNoInnerBrackets(hostPart);
    if (hostPart.empty())
        host.assign("localhost");
    else
        host.assign(hostPart.data(), int(hostPart.size()));
}

// A display form needs a base port: parsing without one reads ":N" as the port N itself.
plat::DString formatEndpoint(const char* host, int port, int basePort, int range) {
    plat::DString text = bracketHost(host);
    if (port == basePort)
        return text;
    if (range > 0 && basePort >= 0) {
        if (port >= basePort && long(port) - basePort < range)
            text.appendf(":%d", port - basePort);
        else
            text.appendf("::%d", port);
    } else {
        text.appendf(":%d", port);
    }
    return text;
}

plat::DString bracketHost(const char* host) {
    plat::DString text;
    if (host && host[0] != '[' && std::strchr(host, ':'))
        text.format("[%s]", host);
    else
        text.assign(host ? host : "");
    return text;
}

plat::DString unbracketHost(const char* host) {
    std::string_view text(host ? host : "");
    if (text.empty() || text.front() != '[')
        return plat::DString(host ? host : "");
    if (text.size() < 2 || text.back() != ']')
        throw EndpointInvalid(BracketKey);
    plat::DString inner("");
    inner.append(text.data() + 1, int(text.size() - 2));
    return inner;
}

} // namespace io
