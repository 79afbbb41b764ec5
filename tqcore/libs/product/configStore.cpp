// The directories of the product's configuration files and their priorities.
#include <product/configStore.h>

#include <product/directories.h>
#include <product/identity.h>

#include <plat/Configuration.h>
#include <plat/DString.h>

namespace product {

namespace {

// No directory is read at this priority today; it stays in the reading order for stores that
// add one below the preference level.
constexpr int EarlyPriority = 5;
constexpr int DirectoryPreference = 10;
constexpr int DirectoryPolicy = 40;

tqutil::ConfigStoreFile* store = nullptr;

void addDirectories(tqutil::ConfigStoreFile& files, const char* programDir) {
    plat::DString besideProgram = joinPath(programDir, PathComponent);
    files.addDirectory(joinPath(besideProgram.c_str(), "config.d").c_str(), DirectoryPreference,
                       true);
    files.addDirectory(joinPath(besideProgram.c_str(), "policy.d").c_str(), DirectoryPolicy, false);
    files.addDirectory(joinPath(getSystemDir(), "config.d").c_str(), DirectoryPreference, true);
    files.addDirectory(getConfigDir(), DirectoryPreference, false);
    files.addDirectory(joinPath(getSystemDir(), "policy.d").c_str(), DirectoryPolicy, false);
}

} // namespace

tqutil::ConfigStoreFile* getConfigStore() {
    return store;
}

tqutil::ConfigStoreFile& createConfigStore(const char* appName, const char* programDir) {
    if (!store) {
        // Never destroyed: settings may be written back until the process ends.
        store =
            new tqutil::ConfigStoreFile(appName, getAppConfigFile(), plat::Configuration::global());
        addDirectories(*store, programDir);
    }
    return *store;
}

void readConfigFiles(tqutil::ConfigStoreFile& files) {
    for (int priority : {EarlyPriority, DirectoryPreference, DirectoryPolicy})
        files.read(priority);
}

} // namespace product
