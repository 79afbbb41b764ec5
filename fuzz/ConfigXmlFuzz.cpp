// Fuzz target: recreating parameters from an XML configuration document, and writing them out.
//
// Input: the document. Whatever it holds, reading either succeeds or throws plat::Exception, and
// the configuration it leaves behind must write out as a document that parses.
#include <plat/BoolParameter.h>
#include <plat/Configuration.h>
#include <plat/EnumParameter.h>
#include <plat/Exception.h>
#include <plat/IntParameter.h>
#include <plat/Log.h>
#include <plat/StringParameter.h>
#include <plat/configXml.h>
#include <xml/Parser.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

const char* const Modes[] = {"off", "on", nullptr};

// Parameters that exist before reading, so that documents may name them with their own class or
// another.
struct Target {
    plat::Configuration config{"Fuzz"};
    plat::BoolParameter flag{"Flag", "Flag.", false, false, &config};
    plat::IntParameter count{"Count", "Count.", 5, false, &config, -100, 100, "noPolicy"};
    plat::EnumParameter mode{"Mode", "Mode.", "on", Modes, false, &config};
    plat::StringParameter text{"Text", "Text.", "", false, &config};
};

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    plat::setLogOverride("");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Target target;
    std::string document(reinterpret_cast<const char*>(data), size);
    try {
        plat::fromXml(target.config, document.c_str());
    } catch (const plat::Exception&) {
    }
    plat::DString written = plat::toXml(target.config, true);
    xml::Status status;
    if (!xml::Parser::parse(written.c_str(), status, "config"))
        __builtin_trap();
    return 0;
}
