// The keysym-to-Unicode correspondence, over a table generated from X11/keysymdef.h.
#include <wvw/keysymToUnicode.h>

#include <algorithm>
#include <iterator>

namespace wvw {

namespace {

struct KeysymCharacter {
    std::uint32_t keysym;
    std::uint32_t codePoint;
};

// Sorted by keysym; tools/keysym-table writes it.
constexpr KeysymCharacter Table[] = {
#include "keysymTable.inc"
};

constexpr bool isSorted() {
    for (std::size_t i = 1; i < std::size(Table); ++i)
        if (Table[i - 1].keysym >= Table[i].keysym)
            return false;
    return true;
}
static_assert(isSorted(), "the keysym table must be sorted by keysym, each keysym once");

constexpr std::uint32_t UnicodeKeysymBase = 0x01000000;
constexpr std::uint32_t LastCodePoint = 0x10FFFF;

bool isSurrogate(std::uint32_t codePoint) {
    return codePoint >= 0xD800 && codePoint <= 0xDFFF;
}

} // namespace

int keysymToUnicode(std::uint32_t keysym) {
    if (keysym < 0x100)
        return int(keysym);
    if (keysym >= UnicodeKeysymBase) {
        std::uint32_t codePoint = keysym - UnicodeKeysymBase;
        // A code point that UTF-8 cannot carry must not reach the text.
        if (codePoint > LastCodePoint || isSurrogate(codePoint))
            return -1;
        return int(codePoint);
    }
    auto entry = std::lower_bound(std::begin(Table), std::end(Table), keysym,
                                  [](const KeysymCharacter& candidate, std::uint32_t wanted) {
                                      return candidate.keysym < wanted;
                                  });
    if (entry == std::end(Table) || entry->keysym != keysym)
        return -1;
    return int(entry->codePoint);
}

} // namespace wvw
