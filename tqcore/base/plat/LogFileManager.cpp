// The LogDir and LogFile parameters and the path of the "file" log destination.
#include <plat/LogFileManager.h>

#include <plat/Exception.h>
#include <plat/StringParameter.h>
#include <plat/expandVars.h>

#include <cstring>

namespace plat {

namespace {

StringParameter logDir("LogDir", DescriptionKey("plat_param_logdir"), "");
StringParameter logFile("LogFile", DescriptionKey("plat_param_logfile"), "");

DString joinedPath(const char* directory, const char* file) {
    DString expandedDirectory = expandVars(directory, nullptr, true, true);
    DString expandedFile = expandVars(file, nullptr, true, true);
    if (expandedFile.isEmpty())
        throw Exception("No log file name");
    if (expandedDirectory.isEmpty())
        return expandedFile;
    DString path(expandedDirectory);
    if (path.c_str()[path.length() - 1] != '/')
        path.appendChar('/');
    path.append(expandedFile);
    return path;
}

} // namespace

void LogFileManager::start() {
    static LogFileManager* manager = new LogFileManager;
    LogDestFile::logFile().setPathSource(manager);
}

LogFileManager::LogFileManager() {
    logDir.addCallback(this);
    logFile.addCallback(this);
}

void LogFileManager::parameterChanged(ConfigParameter&, int) {
    LogDestFile& dest = LogDestFile::logFile();
    // Reopening renames the file aside, so a setting that leaves the path as it was must not.
    try {
        DString current = dest.path();
        if (!current.isNull() && std::strcmp(configuredPath().c_str(), current.c_str()) == 0)
            return;
    } catch (const Exception&) {
        // The destination reports the bad path when it next opens the file.
    }
    dest.setPathSource(this);
}

DString LogFileManager::configuredPath() {
    return joinedPath(logDir.getValue().c_str(), logFile.getValue().c_str());
}

DString LogFileManager::defaultPath() {
    if (logDir.getPriority() <= DefaultPriority && logFile.getPriority() <= DefaultPriority)
        return DString();
    return joinedPath(logDir.getValueStrAt(DefaultPriority).c_str(),
                      logFile.getValueStrAt(DefaultPriority).c_str());
}

} // namespace plat
