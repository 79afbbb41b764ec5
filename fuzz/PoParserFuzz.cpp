// Fuzz target: parsing translation files in the ".po" syntax into a translation table.
//
// Input: the file's text. Whatever the lines hold, every stored key and text must be non-empty,
// valid UTF-8 and free of NUL bytes, and the table must answer for what was stored.
#include <loc/PoParser.h>
#include <loc/TranslationTables.h>
#include <plat/Log.h>
#include <plat/utf8.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace {

bool isCleanText(std::string_view text) {
    return !text.empty() && std::memchr(text.data(), '\0', text.size()) == nullptr &&
           plat::isValidUtf8(text.data(), text.data() + text.size());
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // Bad lines are logged; the fuzzer produces mostly those.
    plat::setLogOverride("");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    loc::TranslationTables tables;
    std::string_view text(reinterpret_cast<const char*>(data), size);
    loc::PoParser("fuzz.po", "xx", [&tables](std::string_view key, std::string_view value) {
        if (!isCleanText(key) || !isCleanText(value))
            __builtin_trap();
        tables.add("xx", key, value);
        loc::Translation* stored = tables.find("xx", key);
        if (stored == nullptr || value != stored->text)
            __builtin_trap();
    }).parse(text);
    return 0;
}
