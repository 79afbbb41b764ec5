// The error of a malformed endpoint text: its message is the translation of the key that names
// what is wrong (empty host, bad port, unmatched bracket, bad escape, or the general text).
#pragma once

#include <plat/Exception.h>

namespace io {

class EndpointInvalid : public plat::Exception {
public:
    // key is one of the io_error_endpoint_* translation keys, a literal.
    explicit EndpointInvalid(const char* key);

    const char* key() const { return translationKey; }

private:
    const char* translationKey;
};

} // namespace io
