// The formatting language of translated texts: "%D" (integer), "%X" (unsigned hexadecimal) and
// "%S" (UTF-8 text), with an optional "+" sign flag, position "N$" and text precision ".N";
// "%%" is a percent sign. Positions let translators reorder the arguments.
#pragma once

#include <plat/DString.h>

#include <initializer_list>

namespace loc {

// A typed argument of formatLoc: signed integer, unsigned integer or UTF-8 string.
class LocArg {
public:
    enum class Kind { Signed, Unsigned, Text };

    LocArg(int value) : argKind(Kind::Signed), signedValue(value) {}
    LocArg(long value) : argKind(Kind::Signed), signedValue(value) {}
    LocArg(long long value) : argKind(Kind::Signed), signedValue(value) {}
    LocArg(unsigned value) : argKind(Kind::Unsigned), unsignedValue(value) {}
    LocArg(unsigned long value) : argKind(Kind::Unsigned), unsignedValue(value) {}
    LocArg(unsigned long long value) : argKind(Kind::Unsigned), unsignedValue(value) {}
    // The text must outlive the formatLoc call; null formats as "".
    LocArg(const char* text) : argKind(Kind::Text), text(text ? text : "") {}

    Kind kind() const { return argKind; }
    long long asSigned() const { return signedValue; }
    unsigned long long asUnsigned() const { return unsignedValue; }
    const char* asText() const { return text; }

private:
    Kind argKind;
    long long signedValue = 0;
    unsigned long long unsignedValue = 0;
    const char* text = nullptr;
};

// The format with its conversions replaced. Without a position a conversion takes the only
// argument; with several arguments every conversion needs a position. On a malformed format or a
// mismatched argument the rest of the format is copied unchanged and the fault is logged.
plat::DString formatLoc(const char* format, std::initializer_list<LocArg> args);

} // namespace loc
