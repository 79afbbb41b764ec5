// Choosing and creating the product's directories.
#include <product/directories.h>

#include <os/unix/environment.h>
#include <plat/expandVars.h>
#include <plat/file.h>

#include <cstdlib>

namespace product {

namespace {

struct Directories {
    plat::DString system;
    plat::DString user;
    plat::DString profile;
    plat::DString configProfile;
    plat::DString config;
    plat::DString appConfigFile;
};

// Never destroyed: static objects of other files may ask for a directory while the process exits.
Directories& directories() {
    static Directories* stored = new Directories;
    return *stored;
}

constexpr const char* SystemDir = "/etc/kbx";

// The user directory when the variable is unset or empty, else its cleaned name below
// "<user directory>/profiles".
plat::DString profileDirFrom(const char* variable, const plat::DString& fallback) {
    const char* profile = std::getenv(variable);
    if (!profile || !*profile)
        return fallback;
    plat::DString dir;
    dir.format("%s/profiles/%s", directories().user.c_str(), profileDirName(profile).c_str());
    return dir;
}

// Directories that exist are made private too: one created by an older version or by hand may
// let others read the user's settings and logs.
void createPrivateDirs() {
    const Directories& dirs = directories();
    plat::mkDir(dirs.user.c_str(), true, true);
    plat::mkDirs(dirs.profile.c_str(), true, true);
    plat::mkDirs(dirs.config.c_str(), true, true);
}

} // namespace

const char* getSystemDir() {
    return directories().system.c_str();
}

const char* getUserDir() {
    return directories().user.c_str();
}

const char* getProfileDir() {
    return directories().profile.c_str();
}

const char* getConfigProfileDir() {
    return directories().configProfile.c_str();
}

const char* getConfigDir() {
    return directories().config.c_str();
}

const char* getAppConfigFile() {
    return directories().appConfigFile.c_str();
}

void setSystemDir() {
    directories().system.assign(SystemDir);
}

void setUpProfileDirs(const char* appName) {
    Directories& dirs = directories();
    dirs.user = plat::expandVars("$HOME/.kbx", nullptr, true, true);
    dirs.profile = profileDirFrom("KBX_PROFILE", dirs.user);
    dirs.configProfile = profileDirFrom("KBX_CONFIG_PROFILE", dirs.profile);
    dirs.config.format("%s/config.d", dirs.configProfile.c_str());
    dirs.appConfigFile.format("%s/%s", dirs.config.c_str(), appName);
    os::setEnv("KBX_PROFILE_DIR", dirs.profile.c_str());
    createPrivateDirs();
}

plat::DString joinPath(const char* directory, const char* name) {
    plat::DString path(directory);
    if (path.isEmpty() || path.c_str()[path.length() - 1] != '/')
        path.appendChar('/');
    path.append(name);
    return path;
}

plat::DString profileDirName(const char* profile) {
    plat::DString name(profile);
    for (char* c = name.data(); c && *c; ++c) {
        unsigned char byte = static_cast<unsigned char>(*c);
        if (byte < 0x20 || byte == 0x7f || byte == '/')
            *c = '-';
    }
    return name;
}

} // namespace product
