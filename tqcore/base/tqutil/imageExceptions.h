// The failures of PNG decoding and named-image lookup.
#pragma once

#include <plat/Exception.h>

namespace tqutil {

// "<libpng's text>: <image name>", or an unsupported colour type.
class PngException : public plat::Exception {
public:
    PngException(const char* format, ...) __attribute__((format(printf, 2, 3)));
};

// A named image whose variants disagree on their size.
class NamedImageBadSize : public plat::Exception {
public:
    NamedImageBadSize(const char* format, ...) __attribute__((format(printf, 2, 3)));
};

// "Bad image name '<name>'": no variant of the name exists.
class NamedImageNotFound : public plat::Exception {
public:
    explicit NamedImageNotFound(const char* name);
};

} // namespace tqutil
