// Reading ".po" files from built-in resources and from the search directories.
#include <loc/poFiles.h>

#include <loc/LocaleName.h>
#include <loc/PoParser.h>
#include <loc/localizeLog.h>
#include <plat/Exception.h>
#include <plat/UniqueFd.h>
#include <plat/builtinResources.h>
#include <plat/file.h>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace loc {

namespace {

// Translation files are small; anything near this size is not one.
constexpr std::size_t MaxFileSize = 16 * 1024 * 1024;

// False when the file does not exist; other failures raise plat::SystemException.
bool readWholeFile(const char* path, std::string& contents) {
    plat::UniqueFd fd(plat::fileOpenFd(path, O_RDONLY, 0, std::nothrow));
    if (!fd.valid()) {
        if (errno == ENOENT || errno == ENOTDIR)
            return false;
        throw plat::SystemExceptionFmt("fileOpenFd(%s)", errno, path);
    }
    char buffer[8192];
    for (;;) {
        ssize_t count = ::read(fd.get(), buffer, sizeof buffer);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            throw plat::SystemExceptionFmt("read(%s)", errno, path);
        if (count == 0)
            return true;
        if (contents.size() + std::size_t(count) > MaxFileSize)
            throw plat::ExceptionFmt("%s is larger than %zu bytes", path, MaxFileSize);
        contents.append(buffer, std::size_t(count));
    }
}

PoParser::Store storeInto(TranslationTables& tables, const std::string& name) {
    return [&tables, &name](std::string_view key, std::string_view text) {
        tables.add(name, key, text);
    };
}

void loadResource(const std::string& name, TranslationTables& tables) {
    std::string resourceName = "strings." + name + ".po";
    auto resource = plat::getResource(resourceName);
    if (!resource)
        return;
    std::string_view text(reinterpret_cast<const char*>(resource->bytes), resource->size);
    PoParser(resourceName, name, storeInto(tables, name)).parse(text);
    localizeLog().status("Loaded strings from built-in resource %s", resourceName.c_str());
}

void loadFile(const std::string& path, const std::string& name, TranslationTables& tables) {
    try {
        std::string text;
        if (!readWholeFile(path.c_str(), text))
            return;
        PoParser(path, name, storeInto(tables, name)).parse(text);
        localizeLog().status("Loaded strings from %s", path.c_str());
    } catch (const plat::Exception& e) {
        localizeLog().error("Error loading strings from %s: %s", path.c_str(), e.message());
    }
}

} // namespace

void loadPoFiles(const std::string& name, const std::vector<std::string>& searchDirs,
                 TranslationTables& tables) {
    loadResource(name, tables);
    if (!LocaleName::isSafeForFileName(name))
        return;
    for (const std::string& dir : searchDirs)
        loadFile(dir + '/' + "strings." + name + ".po", name, tables);
}

} // namespace loc
