// Fuzz target: ISO 8601 time stamps with plat::parseIso8601.
//
// Input: the text. An accepted time stamp must read back to the same instant (to the
// millisecond) from its own UTC form when that form's year is one the parser takes.
#include <plat/DString.h>
#include <plat/Exception.h>
#include <plat/date.h>
#include <plat/formatTime.h>
#include <plat/parseTime.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

void checkRoundTrip(plat::Ticks ticks) {
    static const plat::Ticks first = plat::makeTime(1, 1, 1, 0, 0, 0);
    static const plat::Ticks afterLast = plat::makeTime(10000, 1, 1, 0, 0, 0);
    if (ticks < first || ticks >= afterLast)
        return;
    plat::DString text = plat::formatUtc(ticks, true);
    // The text keeps whole milliseconds, counted forwards also before 1601.
    plat::Ticks belowMillisecond = ticks % plat::TicksPerMillisecond;
    if (belowMillisecond < 0)
        belowMillisecond += plat::TicksPerMillisecond;
    if (plat::parseIso8601(text.c_str()) != ticks - belowMillisecond)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 256)
        return 0;
    std::string text(reinterpret_cast<const char*>(data), size);
    plat::Ticks ticks;
    bool accepted = plat::parseIso8601(text.c_str(), ticks, std::nothrow);
    try {
        plat::Ticks thrown = plat::parseIso8601(text.c_str());
        if (!accepted || thrown != ticks)
            std::abort();
    } catch (const plat::Exception&) {
        if (accepted)
            std::abort();
    }
    if (accepted)
        checkRoundTrip(ticks);
    return 0;
}
