// Expansion of "%D", "%X" and "%S" conversions in translated texts.
#include <loc/formatLoc.h>

#include <loc/localizeLog.h>
#include <plat/fixedText.h>

#include <cctype>
#include <climits>
#include <cstring>

namespace loc {

namespace {

struct Conversion {
    bool plus = false;
    int position = 0;
    int precision = -1;
    char type = '\0';
};

// Reads a run of decimal digits; false when there is none or it does not fit in an int.
bool readNumber(const char*& cursor, int& number) {
    if (!std::isdigit(static_cast<unsigned char>(*cursor)))
        return false;
    long long value = 0;
    while (std::isdigit(static_cast<unsigned char>(*cursor))) {
        value = value * 10 + (*cursor++ - '0');
        if (value > INT_MAX)
            return false;
    }
    number = int(value);
    return true;
}

// Parses what follows a "%"; advances the cursor past the conversion letter.
bool parseConversion(const char*& cursor, Conversion& conversion) {
    if (*cursor == '+') {
        conversion.plus = true;
        ++cursor;
    }
    if (std::isdigit(static_cast<unsigned char>(*cursor))) {
        if (!readNumber(cursor, conversion.position) || *cursor != '$' || conversion.position == 0)
            return false;
        ++cursor;
    }
    if (*cursor == '.') {
        ++cursor;
        if (!readNumber(cursor, conversion.precision))
            return false;
    }
    conversion.type = *cursor;
    if (conversion.type != 'D' && conversion.type != 'S' && conversion.type != 'X')
        return false;
    ++cursor;
    return true;
}

const LocArg* selectArgument(const Conversion& conversion, std::initializer_list<LocArg> args) {
    if (conversion.position == 0)
        return args.size() == 1 ? args.begin() : nullptr;
    if (std::size_t(conversion.position) > args.size())
        return nullptr;
    return args.begin() + (conversion.position - 1);
}

void appendCutText(plat::DString& out, const char* text, int precision) {
    if (precision < 0) {
        out.append(text);
        return;
    }
    plat::DString cut(text, precision);
    cut.truncate(int(plat::trimIncompleteUtf8(cut.data(), std::size_t(cut.length()))));
    out.append(cut);
}

bool appendArgument(plat::DString& out, const Conversion& conversion, const LocArg& arg) {
    if (conversion.precision >= 0 && conversion.type != 'S')
        return false;
    switch (conversion.type) {
    case 'D':
        if (arg.kind() == LocArg::Kind::Signed) {
            out.appendf(conversion.plus ? "%+lld" : "%lld", arg.asSigned());
            return true;
        }
        if (arg.kind() == LocArg::Kind::Unsigned && !conversion.plus) {
            out.appendf("%llu", arg.asUnsigned());
            return true;
        }
        return false;
    case 'X':
        if (arg.kind() != LocArg::Kind::Unsigned || conversion.plus)
            return false;
        out.appendf("%llx", arg.asUnsigned());
        return true;
    default:
        if (arg.kind() != LocArg::Kind::Text || conversion.plus)
            return false;
        appendCutText(out, arg.asText(), conversion.precision);
        return true;
    }
}

// Expands the conversion after a "%"; false when the format or the argument is at fault.
bool expandConversion(const char*& cursor, plat::DString& out, std::initializer_list<LocArg> args) {
    Conversion conversion;
    if (!parseConversion(cursor, conversion))
        return false;
    const LocArg* arg = selectArgument(conversion, args);
    return arg != nullptr && appendArgument(out, conversion, *arg);
}

} // namespace

plat::DString formatLoc(const char* format, std::initializer_list<LocArg> args) {
    plat::DString out("");
    if (format == nullptr)
        return out;
    const char* cursor = format;
    while (*cursor != '\0') {
        const char* percent = std::strchr(cursor, '%');
        if (percent == nullptr) {
            out.append(cursor);
            break;
        }
        out.append(cursor, int(percent - cursor));
        if (percent[1] == '%') {
            out.appendChar('%');
            cursor = percent + 2;
            continue;
        }
        cursor = percent + 1;
        if (!expandConversion(cursor, out, args)) {
            out.append(percent);
            localizeLog().error("Bad loc string for args - %s", format);
            break;
        }
    }
    return out;
}

} // namespace loc
