// Endpoint errors carry the translated text of their key.
#include <io/EndpointInvalid.h>

#include <io/ioTexts.h>
#include <loc/Localize.h>
#include <loc/formatLoc.h>
#include <plat/keepLinked.h>

namespace io {

PLAT_KEEP_LINKED(ioTexts);

// The texts go through the formatter, which turns their "%%" into a percent sign.
EndpointInvalid::EndpointInvalid(const char* key) : translationKey(key) {
    setType("EndpointInvalid");
    appendMessage(loc::formatLoc(LOC_TRF(key), {}).c_str());
}

} // namespace io
