// The process-wide logging operations that span sources and destinations.
#include <plat/Log.h>

#include <plat/DString.h>
#include <plat/LogDest.h>
#include <plat/LogDestFile.h>
#include <plat/LogDestIpc.h>
#include <plat/LogFileManager.h>
#include <plat/LogRouting.h>
#include <plat/stringUtil.h>

#include <algorithm>
#include <string>
#include <vector>

namespace plat {

namespace {

constexpr int ListingIndent = 2;
constexpr int ListingWidth = 79;

void printNameList(const std::vector<std::string>& names, int width, FILE* out) {
    DString text;
    text.appendRepeat(' ', ListingIndent);
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i > 0)
            text.append(" ");
        text.append(names[i].c_str());
    }
    text.wrap(width, ListingIndent);
    std::fprintf(out, "%s\n", text.c_str());
}

} // namespace

void setLogOverride(const char* routing) {
    LogRouting::instance().setOverride(routing);
}

void initLogging() {
    LogRouting::instance().initialise();
}

void setLogHeader(const char* text) {
    LogDestFile::setHeader(text);
}

void setLogHeaderSource(std::function<DString()> source) {
    LogDestFile::setHeaderSource(std::move(source));
}

LogDest* lookupDest(const char* name) {
    // The built-in destinations are created on first use; standard error is always there.
    LogDestFile::standardError();
    if (equalsNoCase(name, "ipc"))
        LogDestIpc::instance();
    return LogDest::find(name);
}

void listSources(int width, FILE* out) {
    printNameList(LogRouting::instance().sourceNames(), width, out);
}

void listDests(FILE* out) {
    LogDestFile::standardError();
    std::vector<std::string> names;
    for (LogDest* dest : LogDest::named())
        names.emplace_back(dest->name());
    std::sort(names.begin(), names.end(), [](const std::string& first, const std::string& second) {
        return compareNoCase(first.c_str(), second.c_str()) < 0;
    });
    printNameList(names, ListingWidth, out);
}

void startFileLogging() {
    LogFileManager::start();
}

void flushLogQueues() {
    if (LogDestIpc* ipc = LogDestIpc::existing())
        ipc->flush();
}

} // namespace plat
