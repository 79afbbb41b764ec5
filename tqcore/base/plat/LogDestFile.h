// Log destinations that write text lines to a log file or to a descriptor such as standard
// error: the line formats, colour on terminals, and the file's life cycle (lazy open, clean-up of
// old files, renaming of the previous file, header, size limit, reopening after rotation).
#pragma once

#include <plat/DString.h>
#include <plat/LogDest.h>
#include <plat/Mutex.h>
#include <plat/String.h>
#include <plat/UniqueFd.h>

#include <cstdint>
#include <ctime>
#include <functional>

namespace plat {

class LogDestFile : public LogDest {
public:
    // Where a destination that follows the configuration finds its path.
    class PathSource {
    public:
        virtual ~PathSource() = default;
        // The configured path; throws plat::Exception when it cannot be formed.
        virtual DString configuredPath() = 0;
        // The path of the default settings, or null when the configured path is already that.
        virtual DString defaultPath() = 0;
    };

    // Called, outside the destination's lock, when the file has reached the size limit.
    using FullNotifier = std::function<void(LogDestFile&)>;

    // A descriptor that stays the caller's.
    struct Descriptor {
        int fd;
    };

    // "stderr": standard error. Created on first use, never destroyed.
    static LogDestFile& standardError();
    // "file": the log file; it has no path until file logging is switched on. Created on first
    // use, never destroyed.
    static LogDestFile& logFile();

    // Writes to the file at path (opened by the first message); while path is null, nowhere.
    LogDestFile(const char* name, const char* path);
    LogDestFile(const char* name, Descriptor stream);
    ~LogDestFile() override;

    void write(int level, const char* sourceName, const char* message) override;
    // False while there is nothing to write to, or while the file is full.
    bool isActive() const override;

    // The program named in full lines; the process's short name until set.
    void setProgramName(const char* name);
    // Closes the open file; the next message opens the new path.
    void setPath(const char* path);
    // Follows source (not owned): the path is asked for when the file is next opened.
    void setPathSource(PathSource* source);
    // The path of the current or next file; null when none is known yet.
    DString path() const;
    // 0 means no limit. Setting the limit ends the full state, so the next message opens (and
    // rotates) the file again.
    void setSizeLimit(std::int64_t bytes);
    void setFullNotifier(FullNotifier notifier);
    bool isFull() const;
    // Reopens the file when its path no longer names the open file, as after an external
    // rotation.
    void check();

    // The text written, followed by a line feed, at the start of every file opened afterwards;
    // wrapped to 79 columns. Null or empty: none.
    static void setHeader(const char* text);
    // The header text, built when a file first needs it.
    static void setHeaderSource(std::function<DString()> source);

private:
    // The formatted time of the last second a line was written in, in one of the two forms.
    struct SecondText {
        std::time_t second = -1;
        bool local = false;
        char text[64] = {};
    };

    // The descriptor to write to, opening the file when needed; -1 when there is none.
    int outputDescriptor();
    bool openFile();
    void openAt(const char* filePath);
    void closeFile();
    void writeLine(int fd, int level, const char* sourceName, const char* message);
    void writeHeader(int fd);
    int formatPrefix(char* prefix, std::size_t capacity, int level, const char* sourceName);
    const char* secondText(std::time_t second, bool local);
    bool reachedSizeLimit(int fd);

    mutable Mutex mutex;
    String programName;
    String hostName;
    const int borrowedFd = -1;
    UniqueFd file;
    DString filePath;
    PathSource* pathSource = nullptr;
    // A path that could not be opened is not tried again for every message.
    bool openFailed = false;
    bool headerWritten = true;
    bool colour = false;
    bool full = false;
    // Set while a line is written, so that a message logged on the way cannot interleave.
    bool writing = false;
    std::int64_t sizeLimit = 0;
    FullNotifier fullNotifier;
    SecondText lastSecond;
};

} // namespace plat
