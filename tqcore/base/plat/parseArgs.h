// Command-line parsing into a configuration at the preference priority, with the help arguments
// "-help", "--help", "-h" and "/?" handed to a help handler.
#pragma once

#include <plat/Exception.h>

#include <functional>

namespace plat {

class Configuration;

// Help modes: usage, usage with advanced parameters, and the XML form of the configuration.
constexpr int HelpUsage = 0;
constexpr int HelpAdvanced = 1;
constexpr int HelpXml = 2;

using HelpHandler = std::function<void(int mode, Configuration& config)>;

struct ParseArgsResult {
    // Index of the first argument not consumed; argc when all were.
    int stoppedAt;
    // The arguments where parsing stopped asked for help and the handler was called.
    bool helpHandled;
};

// A refused or unknown command-line argument; the type text is "BadCmdLineArg".
class BadCmdLineArg : public Exception {
public:
    // The message mentions "-help" when the program offers help.
    BadCmdLineArg(const char* arg, bool offersHelp);
};

// argv excludes the program name. Arguments are consumed as "-name", "name=value" forms or as
// the pair "-name value" until one is refused; nothing already set is rolled back.
ParseArgsResult parseArgs(Configuration& config, int argc, const char* const* argv,
                          const HelpHandler& helpHandler = nullptr);

// As parseArgs, but throws BadCmdLineArg for the first argument not consumed (unless it asked
// for help). Returns whether help was handled.
bool parseArgsChecked(Configuration& config, int argc, const char* const* argv,
                      const HelpHandler& helpHandler = nullptr);

} // namespace plat
