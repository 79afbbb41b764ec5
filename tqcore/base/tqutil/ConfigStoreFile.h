// The configuration-file store: the ordered list of configuration files of each priority, read
// into a configuration, and the application's own file, in which single values are set and
// removed.
#pragma once

#include <plat/ConfigValueStore.h>
#include <plat/DString.h>

#include <map>
#include <string>
#include <vector>

namespace plat {
class Configuration;
}

namespace tqutil {

class ConfigStoreFile : public plat::ConfigValueStore {
public:
    struct File {
        // The label in the log lines: "common", "common.custom" or the application name.
        plat::DString name;
        plat::DString path;
    };

    // applicationFile is the file that set() and remove() write; config receives what read()
    // reads and is not owned.
    ConfigStoreFile(const char* appName, const char* applicationFile, plat::Configuration& config);

    // Appends the directory's "common", then (with readCustom) "common.custom", then the file
    // named after the application to the list of priority.
    void addDirectory(const char* directory, int priority, bool readCustom);
    // The files of priority in reading order.
    const std::vector<File>& files(int priority) const;

    // Reads the files of priority in order; missing files are skipped. A file that exists but
    // cannot be read throws plat::Exception "Error reading %s: %s".
    void read(int priority);

    const char* applicationFile() const { return appFile.c_str(); }
    bool applicationFileExists() const;

    // The application file's setting of name (the last one, as reading applies them in order),
    // compared without regard to ASCII case.
    bool get(const char* name, plat::String& value) override;
    // Replaces the file's first setting of name (dropping later ones) or appends one. The file is
    // rewritten in one step, private to its owner, creating its directory if needed; other lines
    // are kept as they are.
    void set(const char* name, const char* value) override;
    // Drops every setting of name; a missing file stays missing.
    void remove(const char* name) override;

private:
    void writeLines(const std::vector<std::string>& lines);

    plat::DString appName;
    plat::DString appFile;
    plat::Configuration& config;
    std::map<int, std::vector<File>> filesByPriority;
};

} // namespace tqutil
