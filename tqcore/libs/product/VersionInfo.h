// The product's version texts: the version and its short form, and the texts built from them in
// the current language for about boxes, help output and log headers.
#pragma once

#include <plat/ConfigParameter.h>
#include <plat/DString.h>

namespace product {

// Empty until set; product initialisation sets "0.1" unless a program set its own before.
const char* getVersion();
void setVersion(const char* version);
// Product initialisation makes it a copy of the version unless it was set on its own.
const char* getShortVersion();
void setShortVersion(const char* version);

// Rebuilds the version texts whenever the language changes.
class VersionInfoUpdater : public plat::ParameterChangedCallback {
public:
    // Fills in the version and short version where unset. Then, once per process, creates the
    // updater and has the Locale parameter call it; runs it in any case.
    static void start();

    void parameterChanged(plat::ConfigParameter& parameter, int priority) override;
    // Has the four texts built afresh when next asked for, and makes the plain version
    // information the log header and the start of the help output.
    void update();

private:
    VersionInfoUpdater() = default;
};

// The texts in the language of the last update; empty before the first.
// "<display name> <version> x64 (<build date and time>)".
plat::DString getVersionLine();
// The documentation address for the short version's first component.
plat::DString getAcknowledgementsAddress();
// Copyright, trademark and patent blocks, then the further-information and acknowledgements
// blocks, in markup.
plat::DString getProductInfoMarkup();
// "OS: [<distribution>, ]Linux <release>, <architecture>".
plat::DString getOsLine();
// The version line, the legal texts, the addresses and the OS line, one per line, with the
// trademark and copyright signs spelled out and wrapped to 79 columns.
plat::DString getPlainVersionInfo();

} // namespace product
