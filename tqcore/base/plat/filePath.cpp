// File-system paths: lexical normalisation, directory and base names, the working directory and
// real paths resolved link by link.
#include <plat/file.h>

#include <plat/Exception.h>
#include <plat/fileInternals.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <string_view>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace plat {

namespace {

// Replacements of a symbolic link by its target while resolving one real path.
constexpr int MaxLinkReplacements = 20;
constexpr std::size_t LinkTargetCapacity = 4096;
constexpr std::size_t InitialCwdCapacity = 1024;

// ---- Lexical paths ----

struct PathComponents {
    bool absolute = false;
    std::vector<std::string_view> names;
};

void addLexicalComponent(PathComponents& path, std::string_view name) {
    if (name.empty() || name == ".")
        return;
    if (name == "..") {
        if (!path.names.empty() && path.names.back() != "..") {
            path.names.pop_back();
            return;
        }
        // Above the root there is only the root; a relative path keeps its leading "..".
        if (path.absolute)
            return;
    }
    path.names.push_back(name);
}

// The components view into path, which must outlive the result.
PathComponents splitNormalised(const char* path) {
    PLAT_ASSERT(path != nullptr);
    PathComponents result;
    result.absolute = path[0] == '/';
    std::string_view rest(path);
    while (!rest.empty()) {
        std::size_t slash = rest.find('/');
        addLexicalComponent(result, rest.substr(0, slash));
        rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
    }
    return result;
}

DString joinComponents(const PathComponents& path) {
    DString result;
    result.clear();
    if (path.absolute)
        result.appendChar('/');
    for (std::size_t i = 0; i < path.names.size(); ++i) {
        if (i > 0)
            result.appendChar('/');
        result.append(path.names[i].data(), int(path.names[i].size()));
    }
    if (result.isEmpty())
        result.assign(".");
    return result;
}

bool endsWithNoCase(std::string_view text, const char* suffix) {
    std::size_t suffixLength = std::strlen(suffix);
    return text.size() > suffixLength &&
           ::strncasecmp(text.data() + text.size() - suffixLength, suffix, suffixLength) == 0;
}

// ---- Real path ----

// Resolves a path the way the kernel walks it: ".." is applied to the already resolved (link-free)
// prefix, never lexically across a symbolic link.
class RealPathResolver {
public:
    explicit RealPathResolver(const char* path) : callerPath(path) {}

    DString resolve() {
        pending = absoluteForm();
        while (!pending.empty())
            examine(takeFirstComponent());
        return DString(resolved.empty() ? "/" : resolved.c_str());
    }

private:
    [[noreturn]] void fail(int err) const {
        throw SystemExceptionFmt("realpath(%s)", err, callerPath);
    }

    std::string absoluteForm() const {
        if (isAbsolutePath(callerPath))
            return callerPath;
        DString cwd = getCwd();
        std::string joined(cwd.c_str());
        if (joined.empty() || joined.back() != '/')
            joined += '/';
        return joined + callerPath;
    }

    std::string takeFirstComponent() {
        std::size_t start = pending.find_first_not_of('/');
        if (start == std::string::npos) {
            pending.clear();
            return std::string();
        }
        std::size_t end = pending.find('/', start);
        std::string component = pending.substr(start, end - start);
        pending.erase(0, end == std::string::npos ? pending.size() : end);
        return component;
    }

    bool componentsFollow() const { return pending.find_first_not_of('/') != std::string::npos; }

    void examine(const std::string& component) {
        if (component.empty() || component == ".")
            return;
        if (component == "..") {
            if (!resolved.empty())
                resolved.erase(resolved.rfind('/'));
            return;
        }
        std::string prefix = resolved + "/" + component;
        struct stat info;
        if (::lstat(prefix.c_str(), &info) != 0)
            fail(errno);
        if (S_ISLNK(info.st_mode))
            replaceLink(prefix);
        else if (!S_ISDIR(info.st_mode) && componentsFollow())
            fail(ENOTDIR);
        else
            resolved = std::move(prefix);
    }

    void replaceLink(const std::string& link) {
        if (++replacements > MaxLinkReplacements)
            fail(ELOOP);
        std::string target = readLinkTarget(link);
        if (componentsFollow())
            target += "/" + pending;
        pending = std::move(target);
        if (pending[0] == '/')
            resolved.clear();
    }

    std::string readLinkTarget(const std::string& link) const {
        char target[LinkTargetCapacity];
        ssize_t length = ::readlink(link.c_str(), target, sizeof target);
        if (length < 0)
            fail(errno);
        if (std::size_t(length) >= sizeof target)
            fail(EIO);
        return std::string(target, std::size_t(length));
    }

    const char* callerPath;
    // Absolute, free of links, every component but the last a directory; empty for the root.
    std::string resolved;
    std::string pending;
    int replacements = 0;
};

} // namespace

bool namesCreatableDirectory(const char* path) {
    PathComponents components = splitNormalised(path);
    return !components.names.empty() && components.names.back() != "..";
}

// ---- Paths ----

bool isAbsolutePath(const char* path) {
    return path != nullptr && path[0] == '/';
}

DString fileNormalisePath(const char* path) {
    return joinComponents(splitNormalised(path));
}

DString fileDirName(const char* path) {
    PathComponents components = splitNormalised(path);
    if (components.names.empty())
        return DString(components.absolute ? "/" : "..");
    if (components.names.back() == "..")
        components.names.push_back("..");
    else
        components.names.pop_back();
    return joinComponents(components);
}

DString fileBaseName(const char* path, const char* suffix) {
    PathComponents components = splitNormalised(path);
    if (components.names.empty())
        return DString(components.absolute ? "/" : ".");
    std::string_view last = components.names.back();
    if (last == "..")
        return DString(".");
    if (suffix && endsWithNoCase(last, suffix))
        last.remove_suffix(std::strlen(suffix));
    return DString(last.data(), int(last.size()));
}

DString getCwd() {
    std::vector<char> buffer(InitialCwdCapacity);
    while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
        if (errno != ERANGE)
            throw SystemException("getcwd", errno);
        buffer.resize(buffer.size() * 2);
    }
    return DString(buffer.data());
}

DString fileRealPath(const char* path) {
    return RealPathResolver(path).resolve();
}

} // namespace plat
