// Command-line parsing and the bad-argument report.
#include <plat/parseArgs.h>

#include <plat/Configuration.h>
#include <plat/Translator.h>
#include <plat/stringUtil.h>

namespace plat {

namespace {

bool isHelpArgument(const char* arg) {
    for (const char* form : {"-help", "--help", "-h", "/?"}) {
        if (equalsNoCase(arg, form))
            return true;
    }
    return false;
}

int helpModeOf(const char* nextArg) {
    if (nextArg && equalsNoCase(nextArg, "all"))
        return HelpAdvanced;
    if (nextArg && equalsNoCase(nextArg, "xml"))
        return HelpXml;
    return HelpUsage;
}

// The two-argument form "-name value": only one dash is removed, so "--name value" is refused.
bool setFromPair(Configuration& config, const char* arg, const char* value) {
    return arg && arg[0] == '-' && config.set(arg + 1, value, PreferencePriority);
}

} // namespace

BadCmdLineArg::BadCmdLineArg(const char* arg, bool offersHelp) {
    setType("BadCmdLineArg");
    appendMessage(translator().formatText(PLAT_TRF("plat_bad_argument"), arg).c_str());
    if (offersHelp) {
        appendMessage("  ");
        appendMessage(PLAT_TR("plat_run_with_help"));
    }
}

ParseArgsResult parseArgs(Configuration& config, int argc, const char* const* argv,
                          const HelpHandler& helpHandler) {
    int index = 0;
    while (index < argc) {
        if (config.setFromArg(argv[index], PreferencePriority))
            index += 1;
        else if (index + 1 < argc && setFromPair(config, argv[index], argv[index + 1]))
            index += 2;
        else
            break;
    }
    if (index < argc && helpHandler && isHelpArgument(argv[index])) {
        helpHandler(helpModeOf(index + 1 < argc ? argv[index + 1] : nullptr), config);
        return {index, true};
    }
    return {index, false};
}

bool parseArgsChecked(Configuration& config, int argc, const char* const* argv,
                      const HelpHandler& helpHandler) {
    ParseArgsResult result = parseArgs(config, argc, argv, helpHandler);
    if (result.helpHandled)
        return true;
    if (result.stoppedAt < argc)
        throw BadCmdLineArg(argv[result.stoppedAt], bool(helpHandler));
    return false;
}

} // namespace plat
