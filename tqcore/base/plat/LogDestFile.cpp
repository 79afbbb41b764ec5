// The file and standard-error log destinations: line formats, colour, and the log file's life
// cycle with clean-up of old files and renaming of the previous one.
#include <plat/LogDestFile.h>

#include <plat/BoolParameter.h>
#include <plat/Exception.h>
#include <plat/IntParameter.h>
#include <plat/ScopedFlag.h>
#include <plat/date.h>
#include <plat/file.h>
#include <plat/standardErrorReport.h>
#include <plat/terminalColour.h>
#include <plat/writeAll.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <string_view>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

namespace plat {

namespace {

IntParameter logKeepDays("LogKeepDays", DescriptionKey("plat_param_log_keep_days"), 30, false,
                         nullptr, 0, INT_MAX);
BoolParameter compactLog("CompactLog",
                         "Whether to produce more compact logging lines for readability.  Also "
                         "produces times in local timezone instead of UTC",
                         false, true);

constexpr int HeaderWidth = 79;
constexpr mode_t LogFileMode = 0600;
constexpr int RotationNameLimit = 99;
constexpr std::int64_t SecondsPerDay = 86400;
constexpr std::size_t PrefixCapacity = 1024;
constexpr const char* ResetColour = "\033[0m";

struct Header {
    Mutex mutex;
    DString text;
    // Builds the text when a file first needs it; gone once it has.
    std::function<DString()> source;
};

// Never destroyed: files may still be opened while the process exits.
Header& header() {
    static Header* shared = new Header;
    return *shared;
}

// Syslog severities: error, warning, notice, info, debug.
int severityOf(int level) {
    if (level <= 0)
        return 3;
    if (level <= 5)
        return 4;
    if (level <= 10)
        return 5;
    if (level <= 30)
        return 6;
    return 7;
}

const char* colourStartOf(int level) {
    if (level <= 5)
        return "\033[31;1m";
    if (level <= 10)
        return "\033[31m";
    if (level <= 30)
        return "\033[36m";
    return "\033[0m";
}

// The host name up to its first '.'.
String shortHostName() {
    char buffer[HOST_NAME_MAX + 1] = {};
    if (gethostname(buffer, sizeof buffer - 1) != 0)
        return String("");
    if (char* dot = std::strchr(buffer, '.'))
        *dot = '\0';
    return String(buffer);
}

void reportException(const char* format, const Exception& failure) {
    char text[Exception::MessageCapacity + Exception::TypeCapacity + 4];
    failure.displayForm(text, sizeof text);
    reportOnStandardError(format, text);
}

// Rotated files are "<name>.<stamp>", or "<name>(<n>).<stamp>" when that name was taken.
bool isRotatedName(const char* entry, std::string_view name) {
    std::string_view candidate(entry);
    if (candidate.substr(0, name.size()) != name)
        return false;
    candidate.remove_prefix(name.size());
    if (!candidate.empty() && candidate.front() == '.')
        return true;
    if (candidate.size() < 4 || candidate.front() != '(')
        return false;
    std::size_t close = candidate.find(')');
    if (close == std::string_view::npos || close == 1 || close + 1 >= candidate.size() ||
        candidate[close + 1] != '.')
        return false;
    return candidate.substr(1, close - 1).find_first_not_of("0123456789") == std::string_view::npos;
}

void removeExpiredLogs(const char* directory, const char* name) {
    std::unique_ptr<DIR, int (*)(DIR*)> entries(::opendir(directory), ::closedir);
    if (!entries)
        return;
    std::int64_t keepSeconds = std::int64_t(logKeepDays.getValue()) * SecondsPerDay;
    std::time_t now = std::time(nullptr);
    while (const dirent* entry = ::readdir(entries.get())) {
        if (!isRotatedName(entry->d_name, name))
            continue;
        DString entryPath;
        entryPath.format("%s/%s", directory, entry->d_name);
        struct stat info;
        if (::lstat(entryPath.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
            continue;
        if (std::int64_t(now) - std::int64_t(info.st_mtime) > keepSeconds)
            ::unlink(entryPath.c_str());
    }
}

// Moves the previous file aside under its modification time in local time.
void renamePrevious(const char* directory, const char* name, const char* filePath) {
    std::tm modified;
    if (!toLocal(fileGetTime(filePath), modified))
        throw ExceptionFmt("Cannot express the time of %s", filePath);
    DString rotatedName;
    rotatedName.format("%s.%04d%02d%02d%02d%02d%02d", name, modified.tm_year + 1900,
                       modified.tm_mon + 1, modified.tm_mday, modified.tm_hour, modified.tm_min,
                       modified.tm_sec);
    DString target = fileUniqueName(directory, rotatedName.c_str(), "(", ")", RotationNameLimit);
    fileRename(filePath, target.c_str());
}

} // namespace

LogDestFile& LogDestFile::standardError() {
    static LogDestFile* dest = new LogDestFile("stderr", Descriptor{STDERR_FILENO});
    return *dest;
}

LogDestFile& LogDestFile::logFile() {
    static LogDestFile* dest = new LogDestFile("file", nullptr);
    return *dest;
}

LogDestFile::LogDestFile(const char* name, const char* path)
    : LogDest(name), programName(program_invocation_short_name), hostName(shortHostName()),
      filePath(path) {}

LogDestFile::LogDestFile(const char* name, Descriptor stream)
    : LogDest(name), programName(program_invocation_short_name), hostName(shortHostName()),
      borrowedFd(stream.fd) {}

LogDestFile::~LogDestFile() {
    MutexLock lock(mutex);
    closeFile();
}

void LogDestFile::write(int level, const char* sourceName, const char* message) {
    FullNotifier notifier;
    {
        MutexLock lock(mutex);
        if (writing || full)
            return;
        ScopedFlag scope(writing);
        int fd = outputDescriptor();
        if (fd < 0)
            return;
        writeLine(fd, level, sourceName, message);
        if (reachedSizeLimit(fd))
            notifier = fullNotifier;
    }
    if (notifier)
        notifier(*this);
}

bool LogDestFile::isActive() const {
    MutexLock lock(mutex);
    if (full)
        return false;
    return borrowedFd >= 0 || !filePath.isNull() || pathSource != nullptr;
}

void LogDestFile::setProgramName(const char* name) {
    MutexLock lock(mutex);
    programName.assign(name);
}

void LogDestFile::setPath(const char* path) {
    MutexLock lock(mutex);
    closeFile();
    filePath.assign(path);
    if (!path)
        filePath.reset();
    pathSource = nullptr;
    openFailed = false;
}

void LogDestFile::setPathSource(PathSource* source) {
    MutexLock lock(mutex);
    closeFile();
    filePath.reset();
    pathSource = source;
    openFailed = false;
}

DString LogDestFile::path() const {
    MutexLock lock(mutex);
    return filePath;
}

void LogDestFile::setSizeLimit(std::int64_t bytes) {
    MutexLock lock(mutex);
    sizeLimit = bytes;
    full = false;
}

void LogDestFile::setFullNotifier(FullNotifier notifier) {
    MutexLock lock(mutex);
    fullNotifier = std::move(notifier);
}

bool LogDestFile::isFull() const {
    MutexLock lock(mutex);
    return full;
}

void LogDestFile::check() {
    MutexLock lock(mutex);
    if (!file.valid())
        return;
    try {
        if (fileIsSameAsFd(file.get(), filePath.c_str()))
            return;
    } catch (const Exception& failure) {
        reportException("Error opening log file: %s\n", failure);
        return;
    }
    closeFile();
    openFailed = false;
    openFile();
}

void LogDestFile::setHeader(const char* text) {
    Header& shared = header();
    MutexLock lock(shared.mutex);
    shared.source = nullptr;
    shared.text.assign(text);
    if (!text)
        shared.text.reset();
    shared.text.wrap(HeaderWidth, 0);
}

void LogDestFile::setHeaderSource(std::function<DString()> source) {
    Header& shared = header();
    MutexLock lock(shared.mutex);
    shared.text.reset();
    shared.source = std::move(source);
}

int LogDestFile::outputDescriptor() {
    if (borrowedFd >= 0) {
        // Standard error may be redirected at any time, so its kind is looked at for each line.
        colour = terminalSupportsColour(borrowedFd);
        return borrowedFd;
    }
    if (!file.valid() && (openFailed || !openFile()))
        return -1;
    return file.get();
}

bool LogDestFile::openFile() {
    try {
        if (pathSource && filePath.isNull())
            filePath = pathSource->configuredPath();
        if (filePath.isNull())
            return false;
        openAt(filePath.c_str());
        return true;
    } catch (const Exception& failure) {
        reportException("Error opening log file: %s\n", failure);
    }
    openFailed = true;
    if (!pathSource)
        return false;
    try {
        DString fallback = pathSource->defaultPath();
        if (fallback.isNull())
            return false;
        reportOnStandardError("Reverting to default log file %s\n", fallback.c_str());
        filePath = fallback;
        openAt(filePath.c_str());
        openFailed = false;
        return true;
    } catch (const Exception& failure) {
        reportException("Error opening default log file: %s\n", failure);
    }
    return false;
}

void LogDestFile::openAt(const char* path) {
    const char* slash = std::strrchr(path, '/');
    DString directory =
        !slash ? DString(".") : DString(path, slash == path ? 1 : int(slash - path));
    DString name(slash ? slash + 1 : path);
    mkDirs(directory.c_str(), true);
    removeExpiredLogs(directory.c_str(), name.c_str());
    if (fileExists(path))
        renamePrevious(directory.c_str(), name.c_str(), path);
    file.reset(fileOpenFd(path, O_WRONLY | O_CREAT | O_APPEND, LogFileMode));
    headerWritten = false;
    colour = terminalSupportsColour(file.get());
}

void LogDestFile::closeFile() {
    int fd = file.release();
    if (fd < 0 || ::close(fd) == 0)
        return;
    reportException("Error closing log file: %s\n",
                    SystemExceptionFmt("close(%s)", errno, filePath.c_str()));
}

void LogDestFile::writeLine(int fd, int level, const char* sourceName, const char* message) {
    if (!headerWritten) {
        writeHeader(fd);
        headerWritten = true;
    }
    char prefix[PrefixCapacity];
    int prefixLength = formatPrefix(prefix, sizeof prefix, level, sourceName);
    iovec parts[5];
    int count = 0;
    auto add = [&parts, &count](const char* text, std::size_t length) {
        parts[count++] = {const_cast<char*>(text), length};
    };
    if (colour)
        add(colourStartOf(level), std::strlen(colourStartOf(level)));
    add(prefix, std::size_t(prefixLength));
    add(message, std::strlen(message));
    add("\n", 1);
    if (colour)
        add(ResetColour, std::strlen(ResetColour));
    // A line that does not fit on the disk is lost; the size limit reports the full disk.
    writeAll(fd, parts, count);
}

void LogDestFile::writeHeader(int fd) {
    Header& shared = header();
    MutexLock lock(shared.mutex);
    if (shared.source) {
        // Taken first: building the text may log, and that must not build it again.
        std::function<DString()> source = std::move(shared.source);
        shared.source = nullptr;
        shared.text = source();
        shared.text.wrap(HeaderWidth, 0);
    }
    if (shared.text.isEmpty())
        return;
    iovec parts[2] = {{shared.text.data(), std::size_t(shared.text.length())},
                      {const_cast<char*>("\n"), 1}};
    writeAll(fd, parts, 2);
}

int LogDestFile::formatPrefix(char* prefix, std::size_t capacity, int level,
                              const char* sourceName) {
    timespec now;
    clock_gettime(CLOCK_REALTIME, &now);
    int millis = int(now.tv_nsec / 1000000);
    bool compact = compactLog.getValue();
    const char* seconds = secondText(now.tv_sec, compact);
    int length;
    if (compact)
        length = std::snprintf(prefix, capacity, "%s.%03d %s: ", seconds, millis, sourceName);
    else
        length = std::snprintf(
            prefix, capacity, "<%d> %s.%03dZ %s %s[%lld]: %s: ", 8 + severityOf(level), seconds,
            millis, hostName.c_str(), programName.c_str(), (long long)getpid(), sourceName);
    if (length < 0)
        return 0;
    return std::min(length, int(capacity) - 1);
}

const char* LogDestFile::secondText(std::time_t second, bool local) {
    if (second == lastSecond.second && local == lastSecond.local)
        return lastSecond.text;
    std::tm broken;
    if (local)
        localtime_r(&second, &broken);
    else
        gmtime_r(&second, &broken);
    if (local)
        std::snprintf(lastSecond.text, sizeof lastSecond.text, "%02d:%02d:%02d", broken.tm_hour,
                      broken.tm_min, broken.tm_sec);
    else
        std::snprintf(lastSecond.text, sizeof lastSecond.text, "%04d-%02d-%02dT%02d:%02d:%02d",
                      broken.tm_year + 1900, broken.tm_mon + 1, broken.tm_mday, broken.tm_hour,
                      broken.tm_min, broken.tm_sec);
    lastSecond.second = second;
    lastSecond.local = local;
    return lastSecond.text;
}

bool LogDestFile::reachedSizeLimit(int fd) {
    if (sizeLimit <= 0 || !file.valid())
        return false;
    off_t position = ::lseek(fd, 0, SEEK_CUR);
    if (position < sizeLimit)
        return false;
    full = true;
    closeFile();
    return true;
}

} // namespace plat
