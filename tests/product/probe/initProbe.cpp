// Runs product initialisation in a process of its own and prints what it fixed, one "name=value"
// line each, for the product tests. On failure prints "error=<message>" and exits with status 1.
//
// Usage: initProbe [--app=NAME] [--log=ROUTING] [--no-config]
#include <product/VersionInfo.h>
#include <product/configStore.h>
#include <product/directories.h>
#include <product/init.h>

#include <os/AppInfo.h>
#include <plat/ConfigParameter.h>
#include <plat/Configuration.h>
#include <plat/Exception.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

void print(const char* name, const std::string& value) {
    std::printf("%s=%s\n", name, value.c_str());
}

// "<priority>:<value>" for every priority, joined by ",".
std::string valuesOf(const char* parameterName) {
    std::string joined;
    for (const auto& [priority, text] :
         plat::Configuration::global().getParam(parameterName).getValues())
        joined += (joined.empty() ? "" : ",") + std::to_string(priority) + ":" + text.c_str();
    return joined;
}

std::string policyFiles() {
    std::string joined;
    if (tqutil::ConfigStoreFile* store = product::getConfigStore()) {
        for (const auto& file : store->files(40))
            joined += (joined.empty() ? "" : ",") + std::string(file.path.c_str());
    }
    return joined;
}

void printState() {
    print("app", os::AppInfo::getApp());
    for (const char* name : {"HOME", "KBX_PROFILE_DIR"})
        print(name, std::getenv(name) ? std::getenv(name) : "<unset>");
    print("userDir", product::getUserDir());
    print("profileDir", product::getProfileDir());
    print("configProfileDir", product::getConfigProfileDir());
    print("configDir", product::getConfigDir());
    print("appConfigFile", product::getAppConfigFile());
    for (const char* name : {"Log", "LogDir", "LogFile", "LogKeepDays"})
        print(name, valuesOf(name));
    print("versionLine", product::getVersionLine().c_str());
    print("storeFiles40", policyFiles());
}

} // namespace

int main(int argc, char** argv) {
    const char* appName = nullptr;
    const char* logSpec = nullptr;
    bool loadConfigFiles = true;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--app=", 6) == 0)
            appName = argv[i] + 6;
        else if (std::strncmp(argv[i], "--log=", 6) == 0)
            logSpec = argv[i] + 6;
        else if (std::strcmp(argv[i], "--no-config") == 0)
            loadConfigFiles = false;
    }
    try {
        product::init(argv[0], appName, nullptr, logSpec, false, loadConfigFiles);
    } catch (const plat::Exception& failure) {
        print("error", failure.message());
        return 1;
    }
    printState();
    return 0;
}
