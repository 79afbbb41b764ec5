// An X protocol error as an exception: the caller's text, then the server's text for the error
// code and the code in brackets.
#pragma once

#include <plat/Exception.h>

namespace tx {

class XErrorException : public plat::Exception {
public:
    // Type text "XError"; message "<text>: <server text> (<code>)", without ": " for an empty
    // text. Long texts are cut on character boundaries so that the code always fits.
    XErrorException(const char* text, int code);
    int errorCode() const { return code; }

private:
    int code;
};

} // namespace tx
