// A failed name or address resolution, with the resolver's own error code.
#pragma once

#include <plat/Exception.h>

namespace io {

class GetAddrInfoException : public plat::Exception {
public:
    // function is "getaddrinfo" or "getnameinfo". The message is "function: 'host' (code)";
    // for EAI_NONAME, EAI_AGAIN and EAI_NODATA the user's language explains the code instead of
    // its number.
    GetAddrInfoException(const char* function, const char* host, int code);

    int code() const { return resolverCode; }

private:
    int resolverCode;
};

} // namespace io
