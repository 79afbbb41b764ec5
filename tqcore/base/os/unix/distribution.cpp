// Distribution detection: shell-style key files (os-release, lsb-release) and the free-form
// release files that older distributions keep in "/etc".
#include <os/unix/distribution.h>

#include <os/unix/DirEnum.h>
#include <plat/Exception.h>
#include <plat/file.h>
#include <plat/stringUtil.h>
#include <rdr/FileHandle.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string_view>
#include <sys/types.h>
#include <utility>

namespace os {

namespace {

constexpr const char* SystemConfigDir = "/etc";

// Tried in this order as prefixes of the names of release files.
constexpr const char* KnownDistributions[] = {"SuSE",       "debian",    "fedora",   "redhat",
                                              "centos",     "mandrake",  "mandriva", "rocks",
                                              "slackware",  "yellowdog", "gentoo",   "UnitedLinux",
                                              "turbolinux", "arch",      "mageia"};

// The first line of a release file is read up to this many bytes.
constexpr int FirstLineCapacity = 1024;

// getline's buffer, which it grows with realloc.
struct LineBuffer {
    LineBuffer() = default;
    LineBuffer(const LineBuffer&) = delete;
    LineBuffer& operator=(const LineBuffer&) = delete;
    ~LineBuffer() { std::free(text); }

    char* text = nullptr;
    std::size_t capacity = 0;
};

// Not rdr::FileHandle::openForReading: a file that cannot be opened is no failure here.
rdr::FileHandle openForReading(const char* path) {
    return rdr::FileHandle(plat::fileOpen(path, O_RDONLY, "r"));
}

std::string_view withoutLineEnd(std::string_view line) {
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
        line.remove_suffix(1);
    return line;
}

// Calls handle(line) for every line without its line end; false when the file cannot be opened.
template <typename Handler>
bool forEachLine(const char* path, Handler handle) {
    rdr::FileHandle file = openForReading(path);
    if (!file.isOpen())
        return false;
    LineBuffer buffer;
    ssize_t length;
    while ((length = ::getline(&buffer.text, &buffer.capacity, file.get())) >= 0)
        handle(withoutLineEnd(std::string_view(buffer.text, std::size_t(length))));
    return true;
}

bool isEscapableInDoubleQuotes(char c) {
    return std::string_view("\"$'\\`").find(c) != std::string_view::npos;
}

// Shell quoting as these files use it: a quoted value must close with its own quote, and inside
// double quotes a backslash escapes only the characters the shell would treat specially there.
bool unquote(std::string_view raw, plat::DString& value) {
    value.clear();
    if (raw.empty() || (raw.front() != '"' && raw.front() != '\'')) {
        value.append(raw.data(), int(raw.size()));
        return true;
    }
    char quote = raw.front();
    if (raw.size() < 2 || raw.back() != quote)
        return false;
    std::string_view inner = raw.substr(1, raw.size() - 2);
    for (std::size_t i = 0; i < inner.size(); ++i) {
        if (quote == '"' && inner[i] == '\\' && i + 1 < inner.size() &&
            isEscapableInDoubleQuotes(inner[i + 1]))
            ++i;
        value.appendChar(inner[i]);
    }
    return true;
}

// Splits "KEY=value"; false for a line without "=" or with a badly quoted value.
bool parseKeyLine(std::string_view line, std::string_view& key, plat::DString& value) {
    std::size_t equals = line.find('=');
    if (equals == std::string_view::npos)
        return false;
    key = line.substr(0, equals);
    return unquote(line.substr(equals + 1), value);
}

plat::DString pathIn(const char* dir, const char* name) {
    plat::DString path;
    path.format("%s/%s", dir, name);
    return path;
}

// "<name> <version>" when the file gives both a non-empty name and version; the last line for a
// key wins.
plat::DString describeFromKeyFile(const char* path, const char* nameKey, const char* versionKey) {
    plat::DString name;
    plat::DString version;
    forEachLine(path, [&](std::string_view line) {
        std::string_view key;
        plat::DString value;
        if (!parseKeyLine(line, key, value))
            return;
        if (key == nameKey)
            name = std::move(value);
        else if (key == versionKey)
            version = std::move(value);
    });
    plat::DString description;
    if (!name.isEmpty() && !version.isEmpty())
        description.format("%s %s", name.get(), version.get());
    return description;
}

bool containsAfterSeparator(const char* name, const char* mark) {
    for (const char* found = std::strstr(name, mark); found; found = std::strstr(found + 1, mark)) {
        if (found > name && (found[-1] == '_' || found[-1] == '-'))
            return true;
    }
    return false;
}

struct ReleaseFileName {
    const char* distribution = nullptr;
    bool throughVersion = false;
};

ReleaseFileName matchReleaseFileName(const char* name) {
    ReleaseFileName match;
    bool release = containsAfterSeparator(name, "release");
    if (!release && !containsAfterSeparator(name, "version"))
        return match;
    for (const char* distribution : KnownDistributions) {
        if (plat::startsWith(name, distribution)) {
            match.distribution = distribution;
            match.throughVersion = !release;
            return match;
        }
    }
    return match;
}

bool readFirstLine(const char* path, char (&line)[FirstLineCapacity + 1]) {
    rdr::FileHandle file = openForReading(path);
    if (!file.isOpen() || !std::fgets(line, sizeof line, file.get()))
        return false;
    line[withoutLineEnd(line).size()] = '\0';
    return true;
}

bool startsWithDigit(std::string_view word) {
    return std::isdigit(static_cast<unsigned char>(word.front())) != 0;
}

// "CentOS Linux release 7.9.2009 (Core)" gives "CentOS Linux 7.9.2009": the words up to a
// version number, the word after "release" or a parenthesis. A version number with no name
// before it (a Debian version file holds only that) describes nothing by itself.
plat::DString collectDescriptionWords(const char* line) {
    plat::DString collected;
    collected.clear();
    bool nextIsLast = false;
    std::string_view rest(line);
    while (true) {
        std::size_t start = rest.find_first_not_of(" \t");
        if (start == std::string_view::npos)
            return collected;
        rest.remove_prefix(start);
        std::string_view word = rest.substr(0, rest.find_first_of(" \t"));
        rest.remove_prefix(word.size());
        if (word == "release") {
            nextIsLast = true;
            continue;
        }
        bool number = startsWithDigit(word);
        if (word.front() == '(' || (number && collected.isEmpty()))
            return collected;
        if (!collected.isEmpty())
            collected.appendChar(' ');
        collected.append(word.data(), int(word.size()));
        if (number || nextIsLast)
            return collected;
    }
}

plat::DString describeFromReleaseFile(const char* path, const ReleaseFileName& match) {
    char line[FirstLineCapacity + 1];
    if (!readFirstLine(path, line))
        return plat::DString();
    plat::DString description = collectDescriptionWords(line);
    if (!description.isEmpty())
        return description;
    if (!match.throughVersion || line[0] == '\0')
        return plat::DString();
    description.format("%s %s", match.distribution, line);
    description.data()[0] = char(std::toupper(static_cast<unsigned char>(description.get()[0])));
    return description;
}

plat::DString describeFromReleaseFiles(const char* configDir) {
    DirEnum directory(configDir);
    while (const char* name = directory.next()) {
        ReleaseFileName match = matchReleaseFileName(name);
        if (!match.distribution)
            continue;
        plat::DString description = describeFromReleaseFile(directory.path(), match);
        if (!description.isNull())
            return description;
    }
    return plat::DString();
}

} // namespace

plat::DString getDistribution() {
    return getDistribution(SystemConfigDir);
}

plat::DString getDistribution(const char* configDir) {
    try {
        plat::DString description =
            describeFromKeyFile(pathIn(configDir, "os-release").get(), "NAME", "VERSION_ID");
        if (description.isNull())
            description = describeFromKeyFile(pathIn(configDir, "lsb-release").get(), "DISTRIB_ID",
                                              "DISTRIB_RELEASE");
        if (description.isNull())
            description = describeFromReleaseFiles(configDir);
        return description;
    } catch (const plat::Exception&) {
        return plat::DString();
    }
}

bool isDebianBased() {
    return isDebianBased(SystemConfigDir);
}

bool isDebianBased(const char* configDir) {
    bool debian = false;
    forEachLine(pathIn(configDir, "os-release").get(), [&](std::string_view line) {
        std::string_view key;
        plat::DString value;
        if (parseKeyLine(line, key, value) && (key == "ID" || key == "ID_LIKE") &&
            plat::findNoCase(value.get(), "debian"))
            debian = true;
    });
    return debian;
}

} // namespace os
