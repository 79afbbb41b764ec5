// Fuzz target: reading a configuration file into parameters of every class.
//
// Input: the file's contents. Reading must never fail for what the lines hold, and every value a
// line carries (without white space at its ends) must survive being written back with the
// escapes and read again.
#include <plat/BinaryParameter.h>
#include <plat/BoolParameter.h>
#include <plat/Configuration.h>
#include <plat/EnumParameter.h>
#include <plat/Exception.h>
#include <plat/IntParameter.h>
#include <plat/Log.h>
#include <plat/S64Parameter.h>
#include <plat/StringParameter.h>
#include <plat/configFile.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <sys/mman.h>
#include <unistd.h>

namespace {

const char* const Modes[] = {"off", "on", "auto", nullptr};

struct Target {
    plat::Configuration config{"Fuzz"};
    plat::BoolParameter flag{"Flag", "Flag.", false, false, &config};
    plat::IntParameter count{"Count", "Count.", 5, false, &config, -100, 100};
    plat::EnumParameter mode{"Mode", "Mode.", "auto", Modes, false, &config};
    plat::StringParameter text{"Text", "Text.", "", false, &config};
    plat::S64Parameter big{"Big", "Big.", 0, false, &config};
    plat::BinaryParameter key{"Key", "Key.", "", 0, false, &config};

    Target() { config.addAlias("Both", {"Flag", "Count"}); }
};

void checkEscapeRoundTrip(std::string_view line) {
    plat::ConfigLine parsed = plat::parseConfigLine(line);
    const char* value = parsed.value.get();
    if (!value || !*value || std::strchr(" \t\r\n\v\f", value[0]) ||
        std::strchr(" \t\r\n\v\f", value[std::strlen(value) - 1]))
        return;
    std::string written = std::string("Name=") + plat::escapeConfigValue(value).c_str();
    if (std::strcmp(plat::parseConfigLine(written).value.c_str(), value) != 0)
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // Bad lines are logged; the fuzzer produces mostly those.
    plat::setLogOverride("");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Target target;
    static int file = memfd_create("fuzz-config", MFD_CLOEXEC);
    if (file < 0 || ftruncate(file, 0) != 0 || pwrite(file, data, size, 0) != ssize_t(size))
        __builtin_trap();
    char path[64];
    std::snprintf(path, sizeof path, "/proc/self/fd/%d", file);
    try {
        plat::readConfigFile("fuzz", path, 10, target.config);
    } catch (const plat::Exception&) {
        __builtin_trap();
    }
    std::string_view rest(reinterpret_cast<const char*>(data), size);
    while (!rest.empty()) {
        std::size_t end = rest.find('\n');
        checkEscapeRoundTrip(rest.substr(0, end));
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    }
    return 0;
}
