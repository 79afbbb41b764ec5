// Product initialisation, reduced to what the launcher's environment needs so far: HOME,
// KBX_PROFILE_DIR naming the profile directory, and the logging defaults.
#include <product/init.h>

#include <plat/Configuration.h>
#include <plat/DString.h>
#include <plat/Exception.h>
#include <plat/Log.h>
#include <plat/LogDestFile.h>
#include <plat/expandVars.h>
#include <plat/file.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <pwd.h>
#include <unistd.h>
#include <vector>

namespace product {

namespace {

// Root always gets its own home: a HOME inherited through su or sudo names another user's.
void fillHome() {
    if (std::getenv("HOME") != nullptr && geteuid() != 0)
        return;
    uid_t uid = geteuid();
    std::vector<char> buffer(1024);
    struct passwd entry;
    struct passwd* found = nullptr;
    int error;
    while ((error = getpwuid_r(uid, &entry, buffer.data(), buffer.size(), &found)) == ERANGE)
        buffer.resize(buffer.size() * 2);
    if (error != 0)
        throw plat::SystemExceptionFmt("getpwuid(%u)", error, unsigned(uid));
    if (found == nullptr)
        throw plat::ExceptionFmt("getpwuid(%u): account not found", unsigned(uid));
    setenv("HOME", entry.pw_dir, 1);
}

// Profile names become one directory name: control bytes, 0x7f and '/' turn into '-'.
plat::DString cleanedProfileName(const char* name) {
    plat::DString cleaned(name);
    for (char* c = cleaned.data(); *c; ++c) {
        unsigned char byte = static_cast<unsigned char>(*c);
        if (byte < 0x20 || byte == 0x7f || byte == '/')
            *c = '-';
    }
    return cleaned;
}

plat::DString profileDirectory(const plat::DString& userDirectory) {
    const char* profile = std::getenv("KBX_PROFILE");
    if (profile == nullptr || *profile == '\0')
        return userDirectory;
    plat::DString directory;
    directory.format("%s/profiles/%s", userDirectory.c_str(), cleanedProfileName(profile).c_str());
    return directory;
}

constexpr const char* DefaultLogRouting = "*:stderr:10";

// The defaults of the log parameters, and the destinations labelled with the application name.
// File logging stays off until the configuration files are read here too.
void setLoggingDefaults(const char* appName, const char* logSpec) {
    if (std::getenv("KBX_PROFILE_DIR") == nullptr)
        setenv("KBX_PROFILE_DIR", plat::expandVars("$HOME/.kbx", nullptr, true).c_str(), 1);
    plat::Configuration& config = plat::Configuration::global();
    config.set("LogDir", geteuid() == 0 ? "/var/log" : "$KBX_PROFILE_DIR", plat::DefaultPriority);
    plat::DString logFile;
    logFile.format("%s.log", appName);
    config.set("LogFile", logFile.c_str(), plat::DefaultPriority);
    plat::LogDestFile::standardError().setProgramName(appName);
    plat::LogDestFile::logFile().setProgramName(appName);
    config.set("Log", logSpec ? logSpec : DefaultLogRouting, plat::DefaultPriority);
    plat::initLogging();
}

} // namespace

void init(const char* argv0, const char* appName, const char* /*displayNameKey*/,
          const char* logSpec, bool /*fileLogging*/, bool /*loadConfigFiles*/) {
    plat::DString name = appName ? plat::DString(appName) : plat::fileBaseName(argv0, ".exe");
    fillHome();
    plat::DString userDirectory;
    userDirectory.format("%s/.kbx", std::getenv("HOME"));
    setenv("KBX_PROFILE_DIR", profileDirectory(userDirectory).c_str(), 1);
    setLoggingDefaults(name.c_str(), logSpec);
}

} // namespace product
