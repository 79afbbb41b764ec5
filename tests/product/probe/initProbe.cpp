// Runs product initialisation in a process of its own and prints what it fixed, one "name=value"
// line each (line feeds in values as "\n"), for the product tests. On failure prints
// "error=<message>" and exits with status 1.
//
// Usage: initProbe [--app=NAME] [--log=ROUTING] [--no-config] [--file-logging]
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

struct Options {
    const char* appName = nullptr;
    const char* logSpec = nullptr;
    bool loadConfigFiles = true;
    bool fileLogging = false;
};

const char* valueOf(const char* argument, const char* prefix) {
    std::size_t length = std::strlen(prefix);
    return std::strncmp(argument, prefix, length) == 0 ? argument + length : nullptr;
}

Options parseOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        if (const char* app = valueOf(argv[i], "--app="))
            options.appName = app;
        else if (const char* log = valueOf(argv[i], "--log="))
            options.logSpec = log;
        else if (std::strcmp(argv[i], "--no-config") == 0)
            options.loadConfigFiles = false;
        else if (std::strcmp(argv[i], "--file-logging") == 0)
            options.fileLogging = true;
    }
    return options;
}

void print(const char* name, const std::string& value) {
    std::string escaped;
    for (char c : value)
        escaped += c == '\n' ? std::string("\\n") : std::string(1, c);
    std::printf("%s=%s\n", name, escaped.c_str());
}

// "<priority>:<value>" for every priority, joined by ",".
std::string valuesOf(const char* parameterName) {
    std::string joined;
    for (const auto& [priority, text] :
         plat::Configuration::global().getParam(parameterName).getValues()) {
        joined += joined.empty() ? "" : ",";
        joined += std::to_string(priority) + ":" + text.c_str();
    }
    return joined;
}

std::string storeFiles(int priority) {
    std::string joined;
    if (tqutil::ConfigStoreFile* store = product::getConfigStore()) {
        for (const auto& file : store->files(priority))
            joined += (joined.empty() ? "" : ",") + std::string(file.path.c_str());
    }
    return joined;
}

const char* environmentValue(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "<unset>";
}

void printState() {
    print("app", os::AppInfo::getApp());
    print("HOME", environmentValue("HOME"));
    print("KBX_PROFILE_DIR", environmentValue("KBX_PROFILE_DIR"));
    print("systemDir", product::getSystemDir());
    print("userDir", product::getUserDir());
    print("profileDir", product::getProfileDir());
    print("configProfileDir", product::getConfigProfileDir());
    print("configDir", product::getConfigDir());
    print("appConfigFile", product::getAppConfigFile());
    for (const char* name : {"Log", "LogDir", "LogFile", "LogKeepDays"})
        print(name, valuesOf(name));
    print("version", product::getVersion());
    print("versionLine", product::getVersionLine().c_str());
    print("osLine", product::getOsLine().c_str());
    print("plainVersionInfo", product::getPlainVersionInfo().c_str());
    print("storeFiles10", storeFiles(10));
    print("storeFiles40", storeFiles(40));
}

} // namespace

int main(int argc, char** argv) {
    Options options = parseOptions(argc, argv);
    try {
        product::init(argv[0], options.appName, nullptr, options.logSpec, options.fileLogging,
                      options.loadConfigFiles);
    } catch (const plat::Exception& failure) {
        print("error", failure.message());
        return 1;
    }
    printState();
    return 0;
}
