// Resolver errors: the three codes a user can act on (unknown host, temporary failure, no
// address) are explained in words.
#include <io/GetAddrInfoException.h>

#include <io/ioTexts.h>
#include <loc/Localize.h>
#include <plat/DString.h>
#include <plat/keepLinked.h>

#include <netdb.h>

namespace io {

PLAT_KEEP_LINKED(ioTexts);

namespace {

const char* explanationKey(int code) {
    switch (code) {
    case EAI_NONAME:
        return "io_error_eai_noname";
    case EAI_AGAIN:
        return "io_error_eai_again";
    case EAI_NODATA:
        return "io_error_eai_nodata";
    default:
        return nullptr;
    }
}

} // namespace

GetAddrInfoException::GetAddrInfoException(const char* function, const char* host, int code)
    : resolverCode(code) {
    setType("GetAddrInfo");
    plat::DString explanation;
    if (const char* key = explanationKey(code))
        explanation.assign(LOC_TR(key));
    else
        explanation.format("%d", code);
    plat::DString text;
    text.format("%s: '%s' (%s)", function, host ? host : "", explanation.c_str());
    appendMessage(text.c_str());
}

} // namespace io
