// Building the version texts in the current language.
#include <product/VersionInfo.h>

#include <product/identity.h>
#include <product/productTexts.h>

#include <loc/Localize.h>
#include <loc/formatLoc.h>
#include <loc/localeParameter.h>
#include <os/AppInfo.h>
#include <os/unix/distribution.h>
#include <os/unix/hostInfo.h>
#include <plat/Log.h>
#include <plat/Markup.h>
#include <plat/Mutex.h>
#include <plat/configurationHelp.h>
#include <plat/keepLinked.h>

#include <cstring>

namespace product {

PLAT_KEEP_LINKED(productTexts);

namespace {

// The compiler's own forms: "Mmm dd yyyy" with the day padded by a blank, and "hh:mm:ss".
constexpr const char* BuildDateTime = __DATE__ " " __TIME__;

constexpr int PlainWidth = 79;

struct VersionTexts {
    // Recursive: building translates, and a missing text is logged, which may ask for the log
    // header, which is built from these texts.
    plat::Mutex mutex;
    // The texts below are built on first use after each update; empty before the first.
    bool built = true;
    plat::DString version;
    plat::DString shortVersion;
    plat::DString versionLine;
    plat::DString acknowledgementsAddress;
    plat::DString productInfoMarkup;
    plat::DString osLine;
    plat::DString plainVersionInfo;
};

// Never destroyed: log headers and help output may be asked for while the process exits.
VersionTexts& texts() {
    static VersionTexts* stored = new VersionTexts;
    return *stored;
}

plat::DString replaced(const plat::DString& text, const char* needle, const char* replacement) {
    plat::DString result("");
    result.replaceAll(text.c_str(), needle, replacement);
    return result;
}

plat::DString buildVersionLine() {
    plat::DString line;
    line.format("%s %s x64 (%s)", os::AppInfo::getDisplayName().c_str(), getVersion(),
                BuildDateTime);
    return replaced(line, "  ", " ");
}

plat::DString buildAcknowledgementsAddress() {
    const char* shortVersion = getShortVersion();
    plat::DString firstComponent(shortVersion, int(std::strcspn(shortVersion, ".")));
    plat::DString address;
    address.format(AcknowledgementsAddressFormat, firstComponent.c_str());
    return address;
}

plat::DString buildProductInfoMarkup(const plat::DString& acknowledgementsAddress) {
    plat::DString markup("");
    for (const char* key : {"product_copyright", "product_trademarks", "product_patents"}) {
        markup.append(plat::Markup::divOpen(plat::Markup::AlignLeft));
        markup.append(plat::Markup::escape(LOC_TR(key)));
        markup.append("</div>");
    }
    markup.append(
        loc::formatLoc(LOC_TRF("product_info_marked_up_fmt"), {acknowledgementsAddress.c_str()}));
    return markup;
}

plat::DString buildOsLine() {
    plat::DString line("OS: ");
    plat::DString distribution = os::getDistribution();
    if (!distribution.isEmpty())
        line.appendf("%s, ", distribution.c_str());
    line.append(os::getKernel());
    char architecture[os::ArchitectureCapacity];
    line.appendf(", %s", os::getArchitecture(architecture));
    return line;
}

// Log files and terminals may not show the signs, so they are spelled out.
plat::DString buildPlainVersionInfo(const VersionTexts& built) {
    plat::DString plain;
    plain.format(
        "%s\n%s\n%s\n%s\n%s\n%s\n%s\n%s", built.versionLine.c_str(), LOC_TR("product_copyright"),
        LOC_TR("product_trademarks"), LOC_TR("product_patents"), LOC_TR("product_further_info"),
        LOC_TR("product_ack_intro"), built.acknowledgementsAddress.c_str(), built.osLine.c_str());
    plain = replaced(plain, "®", "(R)");
    plain = replaced(plain, "©", "(C)");
    plain = replaced(plain, "™", "(TM)");
    plain.wrap(PlainWidth, 0);
    return plain;
}

// One of the texts, built first unless they are up to date. They count as built as soon as
// building starts, so that a request that arrives meanwhile (through the log) takes what is there.
plat::DString builtText(plat::DString VersionTexts::*text) {
    VersionTexts& stored = texts();
    plat::MutexLock lock(stored.mutex);
    if (!stored.built) {
        stored.built = true;
        stored.versionLine = buildVersionLine();
        stored.acknowledgementsAddress = buildAcknowledgementsAddress();
        stored.productInfoMarkup = buildProductInfoMarkup(stored.acknowledgementsAddress);
        stored.osLine = buildOsLine();
        stored.plainVersionInfo = buildPlainVersionInfo(stored);
    }
    return stored.*text;
}

} // namespace

const char* getVersion() {
    return texts().version.c_str();
}

void setVersion(const char* version) {
    texts().version.assign(version);
}

const char* getShortVersion() {
    return texts().shortVersion.c_str();
}

void setShortVersion(const char* version) {
    texts().shortVersion.assign(version);
}

void VersionInfoUpdater::start() {
    VersionTexts& stored = texts();
    if (stored.version.isNull())
        stored.version.assign(DefaultVersion);
    if (stored.shortVersion.isNull())
        stored.shortVersion = stored.version;
    // Never destroyed: the Locale parameter keeps calling it until the process ends.
    static VersionInfoUpdater* updater = [] {
        auto* created = new VersionInfoUpdater;
        loc::localeParameter().addCallback(created);
        return created;
    }();
    updater->update();
}

void VersionInfoUpdater::parameterChanged(plat::ConfigParameter&, int) {
    update();
}

// The texts read the distribution and kernel from the system: a run that opens no log file and
// shows no help or about box never builds them.
void VersionInfoUpdater::update() {
    {
        VersionTexts& stored = texts();
        plat::MutexLock lock(stored.mutex);
        stored.built = false;
    }
    plat::setLogHeaderSource(getPlainVersionInfo);
    plat::setHelpProductInformationSource(getPlainVersionInfo);
}

plat::DString getVersionLine() {
    return builtText(&VersionTexts::versionLine);
}

plat::DString getAcknowledgementsAddress() {
    return builtText(&VersionTexts::acknowledgementsAddress);
}

plat::DString getProductInfoMarkup() {
    return builtText(&VersionTexts::productInfoMarkup);
}

plat::DString getOsLine() {
    return builtText(&VersionTexts::osLine);
}

plat::DString getPlainVersionInfo() {
    return builtText(&VersionTexts::plainVersionInfo);
}

} // namespace product
