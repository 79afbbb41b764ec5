// Library lists are expanded into file names, then each file is opened and searched in turn
// under one process-wide mutex.
#include <plat/DynamicFn.h>

#include <plat/LogSrc.h>
#include <plat/Mutex.h>

#include <algorithm>
#include <dlfcn.h>
#include <string_view>

namespace plat {

namespace {

LogSrc dynamicLog("DynamicFn");

Mutex& loaderMutex() {
    static Mutex mutex;
    return mutex;
}

std::vector<std::string_view> splitAtCommas(std::string_view text) {
    std::vector<std::string_view> parts;
    while (true) {
        std::size_t comma = text.find(',');
        parts.push_back(text.substr(0, comma));
        if (comma == std::string_view::npos)
            return parts;
        text.remove_prefix(comma + 1);
    }
}

void addVersionedFiles(std::string_view name, std::string_view versions,
                       std::vector<std::string>& files) {
    if (name.empty())
        return;
    std::string base(name);
    if (base.find('/') != std::string::npos) {
        files.push_back(base);
        return;
    }
    bool anyVersion = false;
    for (std::string_view version : splitAtCommas(versions)) {
        if (version.empty())
            continue;
        files.push_back("lib" + base + ".so." + std::string(version));
        anyVersion = true;
    }
    if (!anyVersion)
        files.push_back("lib" + base + ".so");
}

// Elements are "name" or "name[versions]", separated by commas outside the brackets.
bool expandVersionedList(std::string_view list, std::vector<std::string>& files) {
    while (!list.empty()) {
        std::size_t end = list.find_first_of(",[]");
        std::string_view name = list.substr(0, end);
        std::string_view versions;
        if (end != std::string_view::npos && list[end] == ']')
            return false;
        if (end != std::string_view::npos && list[end] == '[') {
            std::size_t close = list.find_first_of("[]", end + 1);
            if (close == std::string_view::npos || list[close] == '[')
                return false;
            versions = list.substr(end + 1, close - end - 1);
            end = close + 1;
            if (end < list.size() && list[end] != ',')
                return false;
        }
        addVersionedFiles(name, versions, files);
        list.remove_prefix(end == std::string_view::npos ? list.size()
                                                         : std::min(end + 1, list.size()));
    }
    return true;
}

} // namespace

bool DynamicFn::candidateFiles(const char* libraries, bool plainNames,
                               std::vector<std::string>& files) {
    files.clear();
    std::string_view list(libraries ? libraries : "");
    if (!plainNames)
        return expandVersionedList(list, files);
    for (std::string_view name : splitAtCommas(list))
        if (!name.empty())
            files.emplace_back(name);
    return true;
}

DynamicFn::DynamicFn(const char* libraries, const char* symbols, bool plainNames) {
    std::vector<std::string> files;
    if (!candidateFiles(libraries, plainNames, files)) {
        dynamicLog.error("Unbalanced brackets in library list '%s'", libraries);
        return;
    }
    MutexLock lock(loaderMutex());
    for (const std::string& candidate : files)
        if (tryLibrary(candidate, symbols ? symbols : ""))
            return;
}

DynamicFn::~DynamicFn() {
    if (library) {
        MutexLock lock(loaderMutex());
        ::dlclose(library);
    }
}

bool DynamicFn::tryLibrary(const std::string& candidate, const char* symbols) {
    library = ::dlopen(candidate.c_str(), RTLD_LAZY | RTLD_GLOBAL);
    if (!library) {
        dynamicLog.verbose(" [DynFnOpen(%s) failed]", candidate.c_str());
        return false;
    }
    for (std::string_view symbol : splitAtCommas(symbols)) {
        std::string name(symbol);
        function = ::dlsym(library, name.c_str());
        if (function) {
            dynamicLog.debug("found '%s' in '%s'", name.c_str(), candidate.c_str());
            file.assign(candidate.c_str());
            return true;
        }
        dynamicLog.verbose("  [DynFnFind(%s) failed]", name.c_str());
    }
    ::dlclose(library);
    library = nullptr;
    return false;
}

} // namespace plat
