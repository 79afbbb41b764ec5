// Removal of mnemonic markers from labels.
#include <plat/mnemonic.h>

#include <plat/utf8.h>

#include <cstdint>

namespace plat {

int stripMnemonic(char* label) {
    if (label == nullptr)
        return 0;
    int mnemonic = 0;
    bool marked = false;
    // The label only shrinks, so the write position never passes the read position.
    char* out = label;
    for (const char* in = label; *in != '\0';) {
        if (*in != '&') {
            *out++ = *in++;
        } else if (in[1] == '&') {
            *out++ = '&';
            in += 2;
        } else if (*++in != '\0' && !marked) {
            int length;
            int codePoint = decodeUtf8(in, SIZE_MAX, length);
            mnemonic = codePoint < 0 ? 0 : codePoint;
            marked = true;
        }
    }
    *out = '\0';
    return mnemonic;
}

} // namespace plat
