// Reading configuration files line by line into a configuration, and the escapes of their values.
#include <plat/configFile.h>

#include <plat/Configuration.h>
#include <plat/Exception.h>
#include <plat/Log.h>
#include <plat/UniqueFd.h>
#include <plat/file.h>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace plat {

namespace {

LogSrc fileConfigLog("FileConfig");

// A bad line is a warning: the rest of the file and the program's start go on.
constexpr int BadLineLevel = 1;

constexpr std::string_view WhiteSpace = " \t\r\n\v\f";

std::string_view trimmed(std::string_view line) {
    std::size_t first = line.find_first_not_of(WhiteSpace);
    if (first == std::string_view::npos)
        return {};
    std::size_t last = line.find_last_not_of(WhiteSpace);
    return line.substr(first, last - first + 1);
}

std::string decodedEscapes(std::string_view text) {
    std::string decoded;
    decoded.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            decoded += text[i];
            continue;
        }
        char escaped = text[++i];
        if (escaped == 'r')
            decoded += '\r';
        else if (escaped == 'n')
            decoded += '\n';
        else if (escaped == '\\')
            decoded += '\\';
        else
            decoded.append({'\\', escaped});
    }
    return decoded;
}

std::string readAll(int fd) {
    std::string contents;
    char buffer[16384];
    for (;;) {
        ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            throw SystemException("read", errno);
        if (got == 0)
            return contents;
        contents.append(buffer, std::size_t(got));
    }
}

// An invalid descriptor when the file is missing. Most of the files looked for are missing at
// every start, so that case takes no exception.
UniqueFd openUnlessMissing(const char* path) {
    UniqueFd fd(fileOpenFd(path, O_RDONLY, 0, std::nothrow));
    if (!fd.valid() && errno != ENOENT && errno != ENOTDIR)
        throw SystemExceptionFmt("fileOpenFd(%s)", errno, path);
    return fd;
}

void applyLine(Configuration& config, std::string_view line, int priority, const char* path,
               int lineNumber) {
    ConfigLine setting = parseConfigLine(line);
    try {
        config.set(setting.name.c_str(), setting.value.get(), priority);
    } catch (const Exception& failure) {
        fileConfigLog.write(BadLineLevel, "Ignoring line %d of %s: %s", lineNumber, path,
                            failure.message());
    }
}

void applyLines(Configuration& config, const std::string& contents, int priority,
                const char* path) {
    std::string_view rest = contents;
    for (int lineNumber = 1; !rest.empty(); ++lineNumber) {
        std::size_t end = rest.find('\n');
        applyLine(config, rest.substr(0, end), priority, path, lineNumber);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    }
}

} // namespace

ConfigLine parseConfigLine(std::string_view line) {
    std::string decoded = decodedEscapes(trimmed(line));
    std::size_t equals = decoded.find('=');
    ConfigLine setting;
    setting.name.assign(decoded.c_str(), int(std::min(equals, decoded.size())));
    if (equals != std::string::npos)
        setting.value.assign(decoded.c_str() + equals + 1, int(decoded.size() - equals - 1));
    return setting;
}

DString escapeConfigValue(const char* value) {
    DString escaped("");
    for (const char* c = value ? value : ""; *c; ++c) {
        if (*c == '\r')
            escaped.append("\\r");
        else if (*c == '\n')
            escaped.append("\\n");
        else if (*c == '\\')
            escaped.append("\\\\");
        else
            escaped.appendChar(*c);
    }
    return escaped;
}

bool readConfigFileText(const char* path, std::string& contents) {
    UniqueFd fd = openUnlessMissing(path);
    if (!fd.valid())
        return false;
    contents = readAll(fd.get());
    return true;
}

bool readConfigFile(const char* name, const char* path, int priority, Configuration& config) {
    fileConfigLog.verbose("Looking for %s config in %s", name, path);
    std::string contents;
    try {
        UniqueFd fd = openUnlessMissing(path);
        if (!fd.valid())
            return false;
        fileConfigLog.debug("Reading %s config from %s", name, path);
        contents = readAll(fd.get());
    } catch (const SystemException& failure) {
        throw ExceptionFmt("Error reading %s: %s", path, failure.message());
    }
    applyLines(config, contents, priority, path);
    return true;
}

bool readConfigFile(const char* name, const char* path, int priority) {
    return readConfigFile(name, path, priority, Configuration::global());
}

} // namespace plat
