// The configuration-file store: reading the files of a priority, and editing single settings of
// the application's file.
#include <tqutil/ConfigStoreFile.h>

#include <plat/Configuration.h>
#include <plat/configFile.h>
#include <plat/file.h>
#include <plat/stringUtil.h>
#include <rdr/FileOutStream.h>

#include <algorithm>
#include <string>
#include <string_view>

namespace tqutil {

namespace {

std::vector<std::string> splitLines(const std::string& contents) {
    std::vector<std::string> lines;
    std::string_view rest = contents;
    while (!rest.empty()) {
        std::size_t end = rest.find('\n');
        lines.emplace_back(rest.substr(0, end));
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    }
    return lines;
}

bool setsName(const std::string& line, const char* name) {
    return plat::equalsNoCase(plat::parseConfigLine(line).name.c_str(), name);
}

std::string settingLine(const char* name, const char* value) {
    std::string line = name;
    if (value) {
        line += '=';
        line += plat::escapeConfigValue(value).c_str();
    }
    return line;
}

} // namespace

ConfigStoreFile::ConfigStoreFile(const char* appName, const char* applicationFile,
                                 plat::Configuration& config)
    : appName(appName), appFile(applicationFile), config(config) {}

void ConfigStoreFile::addDirectory(const char* directory, int priority, bool readCustom) {
    std::vector<File>& list = filesByPriority[priority];
    auto add = [&](const char* name) {
        plat::DString path;
        path.format("%s/%s", directory, name);
        list.push_back(File{plat::DString(name), std::move(path)});
    };
    add("common");
    if (readCustom)
        add("common.custom");
    add(appName.c_str());
}

const std::vector<ConfigStoreFile::File>& ConfigStoreFile::files(int priority) const {
    static const std::vector<File> none;
    auto found = filesByPriority.find(priority);
    return found == filesByPriority.end() ? none : found->second;
}

void ConfigStoreFile::read(int priority) {
    for (const File& file : files(priority))
        plat::readConfigFile(file.name.c_str(), file.path.c_str(), priority, config);
}

bool ConfigStoreFile::applicationFileExists() const {
    return plat::fileExists(appFile.c_str());
}

bool ConfigStoreFile::get(const char* name, plat::String& value) {
    std::string contents;
    if (!plat::readConfigFileText(appFile.c_str(), contents))
        return false;
    std::vector<std::string> lines = splitLines(contents);
    auto last = std::find_if(lines.rbegin(), lines.rend(),
                             [name](const std::string& line) { return setsName(line, name); });
    if (last == lines.rend())
        return false;
    value.assign(plat::parseConfigLine(*last).value.get());
    return true;
}

void ConfigStoreFile::set(const char* name, const char* value) {
    std::string contents;
    plat::readConfigFileText(appFile.c_str(), contents);
    std::vector<std::string> lines = splitLines(contents);
    auto first = std::find_if(lines.begin(), lines.end(),
                              [name](const std::string& line) { return setsName(line, name); });
    if (first == lines.end()) {
        lines.push_back(settingLine(name, value));
    } else {
        *first = settingLine(name, value);
        lines.erase(
            std::remove_if(first + 1, lines.end(),
                           [name](const std::string& line) { return setsName(line, name); }),
            lines.end());
    }
    writeLines(lines);
}

void ConfigStoreFile::remove(const char* name) {
    std::string contents;
    if (!plat::readConfigFileText(appFile.c_str(), contents))
        return;
    std::vector<std::string> lines = splitLines(contents);
    auto kept = std::remove_if(lines.begin(), lines.end(),
                               [name](const std::string& line) { return setsName(line, name); });
    if (kept == lines.end())
        return;
    lines.erase(kept, lines.end());
    writeLines(lines);
}

void ConfigStoreFile::writeLines(const std::vector<std::string>& lines) {
    plat::mkDirs(plat::fileDirName(appFile.c_str()).c_str(), true);
    // Readers see the old file or the new one, never a part of it.
    rdr::TransactedFileOutStream out(appFile.c_str(), rdr::FilePrivate);
    for (const std::string& line : lines) {
        out.writeBytes(line.data(), int(line.size()));
        out.writeU8('\n');
    }
    out.commit();
}

} // namespace tqutil
