// Usage and help output.
#include <plat/configurationHelp.h>

#include <plat/BinaryParameter.h>
#include <plat/Configuration.h>
#include <plat/DString.h>
#include <plat/Log.h>
#include <plat/Translator.h>
#include <plat/parseArgs.h>
#include <plat/stringUtil.h>
#include <plat/utf8.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace plat {

namespace {

constexpr int UsageWidth = 79;
constexpr int NameColumnWidth = 14;
// Two blanks, the name column and " - ".
constexpr int DescriptionIndent = 19;

std::function<DString()>& productInformationSource() {
    static auto* source = new std::function<DString()>;
    return *source;
}

DString& productInformation() {
    static DString* text = new DString;
    if (std::function<DString()>& source = productInformationSource()) {
        *text = source();
        source = nullptr;
    }
    return *text;
}

XmlHelpWriter xmlHelpWriter = nullptr;

bool isListed(const ConfigParameter* parameter, bool advanced) {
    return parameter->getName()[0] != '_' && (advanced || !parameter->isAdvanced());
}

int lastLineWidth(const DString& text) {
    const char* lastLine = std::strrchr(text.c_str(), '\n');
    return displayWidth(lastLine ? lastLine + 1 : text.c_str());
}

DString usageEntry(const ConfigParameter& parameter) {
    DString entry;
    entry.format("  %-*s - %s", NameColumnWidth, parameter.getName(), parameter.getDescription());
    entry.wrap(UsageWidth, DescriptionIndent);
    if (dynamic_cast<const BinaryParameter*>(&parameter))
        return entry;
    DString note;
    note.format("(%s=%s)", PLAT_TR("plat_configuration_help_default"),
                parameter.getValueStr().c_str());
    if (lastLineWidth(entry) + displayWidth(note.c_str()) >= UsageWidth) {
        entry.appendChar('\n');
        entry.appendRepeat(' ', DescriptionIndent);
    } else {
        entry.appendChar(' ');
    }
    entry.append(note);
    entry.wrap(UsageWidth, DescriptionIndent);
    return entry;
}

void printParameterList(const Configuration& config, bool advanced, FILE* out) {
    if (config.getTitleKey())
        std::fprintf(out, "%s:\n", PLAT_TR(config.getTitleKey()));
    else
        std::fprintf(out, "%s Parameters:\n", config.getName());
    std::vector<ConfigParameter*> listed = config.getParams(false);
    listed.erase(std::remove_if(listed.begin(), listed.end(),
                                [advanced](const ConfigParameter* parameter) {
                                    return !isListed(parameter, advanced);
                                }),
                 listed.end());
    std::stable_sort(listed.begin(), listed.end(),
                     [](const ConfigParameter* first, const ConfigParameter* second) {
                         return compareNoCase(first->getName(), second->getName()) < 0;
                     });
    for (const ConfigParameter* parameter : listed)
        std::fprintf(out, "%s\n", usageEntry(*parameter).c_str());
    for (const Configuration* child : config.getChildren())
        printParameterList(*child, advanced, out);
}

} // namespace

void printUsage(const Configuration& config, bool advanced, FILE* out) {
    DString syntax(PLAT_TR("plat_configuration_param_usage"));
    syntax.wrap(UsageWidth, 0);
    std::fprintf(out, "%s\n\n", syntax.c_str());
    printParameterList(config, advanced, out);
    if (!advanced)
        return;
    std::fprintf(out, "\n%s\n", PLAT_TR("plat_configuration_log_names_title"));
    listSources(UsageWidth, out);
    std::fprintf(out, "\n%s\n", PLAT_TR("plat_configuration_log_dests_title"));
    listDests(out);
}

void printHelp(int mode, Configuration& config, FILE* out) {
    if (!productInformation().isEmpty())
        std::fprintf(out, "%s\n\n", productInformation().c_str());
    if (mode == HelpXml && xmlHelpWriter)
        xmlHelpWriter(config, out);
    else
        printUsage(config, mode != HelpUsage, out);
}

void standardHelpHandler(int mode, Configuration& config) {
    printHelp(mode, config, stdout);
    std::fflush(stdout);
    std::exit(1);
}

void setHelpProductInformation(const char* text) {
    productInformationSource() = nullptr;
    productInformation().assign(text);
}

void setHelpProductInformationSource(std::function<DString()> source) {
    productInformationSource() = std::move(source);
}

void setXmlHelpWriter(XmlHelpWriter writer) {
    xmlHelpWriter = writer;
}

} // namespace plat
