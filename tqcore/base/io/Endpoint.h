// Endpoint names: "host", "host:display", "host::port", with IPv6 literals in square brackets.
// A display N with 0 <= N < range stands for the port basePort + N.
#pragma once

#include <plat/DString.h>

namespace io {

// Fills host (brackets kept; "localhost" for an empty host) and, unless port is null, the port
// (1 to 65535). basePort is negative when the context has none, range 0 when displays are not
// used. With a null port the text must name none. Raises io::EndpointInvalid.
void parseEndpoint(const char* text, plat::DString& host, int* port, int basePort, int range);

// The shortest text that parseEndpoint reads back as host and port in the same context.
plat::DString formatEndpoint(const char* host, int port, int basePort, int range);

// "[host]" for a host holding a colon that is not bracketed yet; others unchanged.
plat::DString bracketHost(const char* host);
// The host without its enclosing square brackets; an opening bracket without the closing one
// raises io::EndpointInvalid.
plat::DString unbracketHost(const char* host);

} // namespace io
