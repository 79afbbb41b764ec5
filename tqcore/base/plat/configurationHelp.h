// The usage listing of a configuration's parameters (79 columns wide) and the standard help
// handler of programs that parse their command line.
#pragma once

#include <plat/DString.h>

#include <cstdio>
#include <functional>

namespace plat {

class Configuration;

// The parameter syntax, then every listed parameter of the tree with its description and
// current value; advanced mode adds advanced parameters and the log sources and destinations.
// Names beginning with "_" are never listed.
void printUsage(const Configuration& config, bool advanced, FILE* out);

// The product information text (when set) and a blank line, then the usage for HelpUsage and
// HelpAdvanced or the XML form for HelpXml.
void printHelp(int mode, Configuration& config, FILE* out);

// printHelp on standard output, then ends the process with exit status 1.
[[noreturn]] void standardHelpHandler(int mode, Configuration& config);

// Set by product initialisation; help starts with this text.
void setHelpProductInformation(const char* text);
// The same, with the text built only when help is printed.
void setHelpProductInformationSource(std::function<DString()> source);

// The writer of the XML form of a configuration, installed by the XML configuration store.
// Until one is installed, the XML help mode prints the advanced usage instead.
using XmlHelpWriter = void (*)(Configuration& config, FILE* out);
void setXmlHelpWriter(XmlHelpWriter writer);

} // namespace plat
