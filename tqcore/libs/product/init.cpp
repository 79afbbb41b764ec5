// Product initialisation: identity, translations, home and profile directories, version texts,
// logging defaults and the configuration files, in the order every program of the family relies
// on.
#include <product/init.h>

#include <product/VersionInfo.h>
#include <product/configStore.h>
#include <product/directories.h>
#include <product/identity.h>

#include <loc/Localize.h>
#include <os/AppInfo.h>
#include <os/unix/PasswordEntry.h>
#include <os/unix/environment.h>
#include <os/unix/programPath.h>
#include <plat/Configuration.h>
#include <plat/DString.h>
#include <plat/Exception.h>
#include <plat/Log.h>
#include <plat/LogDestFile.h>
#include <plat/expandVars.h>
#include <plat/file.h>

#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

namespace product {

namespace {

constexpr const char* DefaultLogRouting = "*:stderr:10";

// Set once the logging defaults are in place; a failure before that still needs a route for the
// caller's error report.
bool loggingDefaultsSet = false;

plat::DString programPath() {
    plat::DString path;
    try {
        path = os::getProgramPath(nullptr);
    } catch (const plat::Exception&) {
    }
    if (path.isEmpty())
        throw plat::Exception("Error: could not find program executable");
    return path;
}

// Root always gets its own home: a HOME inherited through su or sudo names another user's, and
// root's settings and logs must not land there. An empty HOME counts as unset, as it would put
// the user directory at "/.kbx".
void fillHome() {
    const char* home = std::getenv("HOME");
    if (home && *home && geteuid() != 0)
        return;
    os::PasswordEntry user = os::lookupUser(false, nullptr, geteuid());
    os::setEnv("HOME", user.homeDir());
}

void setTranslationDirs(const plat::DString& programDir) {
    std::vector<std::string> dirs{getUserDir(), getSystemDir(),
                                  joinPath(programDir.c_str(), PathComponent).c_str()};
    loc::Localize::instance().setSearchDirs(dirs);
}

// The destinations are labelled with the application name; file logging stays off until asked
// for, after the configuration files had their say about LogDir and LogFile.
void setLoggingDefaults(const char* appName, const char* logSpec) {
    if (!std::getenv("KBX_PROFILE_DIR"))
        os::setEnv("KBX_PROFILE_DIR", plat::expandVars("$HOME/.kbx", nullptr, true).c_str());
    plat::Configuration& config = plat::Configuration::global();
    config.set("LogDir", geteuid() == 0 ? "/var/log" : "$KBX_PROFILE_DIR", plat::DefaultPriority);
    plat::DString logFile;
    logFile.format("%s.log", appName);
    config.set("LogFile", logFile.c_str(), plat::DefaultPriority);
    plat::LogDestFile::standardError().setProgramName(appName);
    plat::LogDestFile::logFile().setProgramName(appName);
    config.set("Log", logSpec ? logSpec : DefaultLogRouting, plat::DefaultPriority);
    loggingDefaultsSet = true;
}

// Without this, a failure before the logging defaults would leave the error report's log line in
// the early-message store, which nobody ever reads.
void routeLoggingAfterFailure(const char* appName, const char* logSpec, bool fileLogging) {
    try {
        if (!loggingDefaultsSet) {
            plat::LogDestFile::standardError().setProgramName(appName);
            plat::Configuration::global().set("Log", logSpec ? logSpec : DefaultLogRouting,
                                              plat::DefaultPriority);
        } else if (fileLogging) {
            plat::startFileLogging();
        }
        plat::initLogging();
    } catch (const plat::Exception&) {
        // The original failure is the one to report.
    }
}

void initSteps(const char* argv0, const char* appName, const char* displayNameKey,
               const char* logSpec, bool fileLogging, bool loadConfigFiles) {
    os::AppInfo::init(appName ? appName : argv0, CompanyName, PathComponent, displayNameKey,
                      nullptr);
    loc::Localize::instance().setSearchDirs({});
    plat::DString program = programPath();
    if (!appName)
        os::AppInfo::setApp(plat::fileBaseName(program.c_str(), ".exe").c_str());
    const char* app = os::AppInfo::getApp();
    fillHome();
    setSystemDir();
    setUpProfileDirs(app);
    plat::DString programDir = plat::fileDirName(program.c_str());
    setTranslationDirs(programDir);
    VersionInfoUpdater::start();
    setLoggingDefaults(app, logSpec);
    // Only a program that declares the parameter takes the address.
    plat::Configuration::global().set("_ProductUri", WebAddress, plat::DefaultPriority);
    if (loadConfigFiles)
        readConfigFiles(createConfigStore(app, programDir.c_str()));
    if (fileLogging)
        plat::startFileLogging();
}

} // namespace

void init(const char* argv0, const char* appName, const char* displayNameKey, const char* logSpec,
          bool fileLogging, bool loadConfigFiles) {
    try {
        initSteps(argv0, appName, displayNameKey, logSpec, fileLogging, loadConfigFiles);
    } catch (...) {
        routeLoggingAfterFailure(os::AppInfo::getApp(true), logSpec, fileLogging);
        throw;
    }
    plat::initLogging();
}

} // namespace product
