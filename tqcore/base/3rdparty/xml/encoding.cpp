// Encoding names and iconv conversions for XML documents.
#include <xml/encoding.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <iconv.h>
#include <strings.h>

namespace xml {

namespace {

// Windows code page 932 first: documents labelled Shift-JIS mostly come from it, and unlike the
// strict table it keeps 0x5C a backslash, which paths in configuration values depend on.
const char* const shiftJisNames[] = {"CP932", "SHIFT_JIS"};

bool sameNoCase(std::string_view a, const char* b) {
    std::string_view other(b);
    return a.size() == other.size() && strncasecmp(a.data(), b, a.size()) == 0;
}

class Converter {
public:
    Converter(const char* to, const char* from) : handle(iconv_open(to, from)) {}
    ~Converter() {
        if (valid())
            iconv_close(handle);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool valid() const { return handle != reinterpret_cast<iconv_t>(-1); }

    // Converts the whole text; out keeps what was converted before a failing sequence.
    bool convert(std::string_view text, std::string& out) {
        out.clear();
        char* input = const_cast<char*>(text.data());
        std::size_t inputLeft = text.size();
        while (true) {
            std::size_t used = out.size();
            std::size_t room = inputLeft * 2 + 16;
            out.resize(used + room);
            char* output = out.data() + used;
            std::size_t result = iconv(handle, &input, &inputLeft, &output, &room);
            out.resize(std::size_t(output - out.data()));
            if (result != std::size_t(-1))
                return true;
            if (errno != E2BIG)
                return false;
        }
    }

private:
    iconv_t handle;
};

bool convert(std::string_view text, const char* to, const char* from, std::string& out,
             bool& opened) {
    Converter converter(to, from);
    opened = converter.valid();
    return opened && converter.convert(text, out);
}

bool convertShiftJis(std::string_view text, bool toUtf8, std::string& out) {
    for (const char* name : shiftJisNames) {
        bool opened = false;
        bool converted = toUtf8 ? convert(text, "UTF-8", name, out, opened)
                                : convert(text, name, "UTF-8", out, opened);
        if (opened)
            return converted;
    }
    out.clear();
    return false;
}

} // namespace

std::optional<Encoding> encodingNamed(std::string_view name) {
    if (sameNoCase(name, "utf-8") || sameNoCase(name, "utf8"))
        return Encoding::Utf8;
    if (sameNoCase(name, "iso-8859-1"))
        return Encoding::Latin1;
    for (const char* spelling : {"shift-jis", "shiftjis", "shift_jis"}) {
        if (sameNoCase(name, spelling))
            return Encoding::ShiftJis;
    }
    return std::nullopt;
}

bool convertToUtf8(std::string_view text, Encoding from, std::string& out) {
    bool opened = false;
    switch (from) {
    case Encoding::Utf8:
        out.assign(text);
        return true;
    case Encoding::Latin1:
        return convert(text, "UTF-8", "ISO-8859-1", out, opened);
    case Encoding::ShiftJis:
        return convertShiftJis(text, true, out);
    }
    return false;
}

Code convertFromUtf8(std::string_view text, Encoding to, std::string& out) {
    bool opened = false;
    switch (to) {
    case Encoding::Utf8:
        out.assign(text);
        return Code::None;
    case Encoding::Latin1:
        if (convert(text, "ISO-8859-1", "UTF-8", out, opened))
            return Code::None;
        // Invalid UTF-8 input is a conversion failure too; only a valid character above 255
        // is the Latin-1 specific one.
        return opened && findInvalidUtf8(text) == std::string_view::npos
                   ? Code::CharacterCodeAbove255
                   : Code::CharacterConversion;
    case Encoding::ShiftJis:
        return convertShiftJis(text, false, out) ? Code::None : Code::CharacterConversion;
    }
    return Code::CharacterConversion;
}

std::size_t findInvalidUtf8(std::string_view text) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    std::size_t size = text.size();
    std::size_t i = 0;
    while (i < size) {
        // Documents are mostly ASCII: skip eight such bytes at a time.
        if (size - i >= 8) {
            std::uint64_t word;
            std::memcpy(&word, bytes + i, 8);
            if ((word & 0x8080808080808080u) == 0) {
                i += 8;
                continue;
            }
        }
        unsigned char lead = bytes[i];
        if (lead < 0x80) {
            ++i;
            continue;
        }
        int length;
        unsigned int minimum;
        unsigned int value;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
            minimum = 0x80;
            value = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            minimum = 0x800;
            value = lead & 0x0F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            minimum = 0x10000;
            value = lead & 0x07;
        } else {
            return i;
        }
        if (size - i < std::size_t(length))
            return i;
        for (int k = 1; k < length; ++k) {
            unsigned char next = bytes[i + std::size_t(k)];
            if ((next & 0xC0) != 0x80)
                return i;
            value = (value << 6) | (next & 0x3F);
        }
        if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
            return i;
        i += std::size_t(length);
    }
    return std::string_view::npos;
}

} // namespace xml
