// Accounts of the password database, looked up by name or by user id.
#pragma once

#include <pwd.h>
#include <sys/types.h>
#include <vector>

namespace os {

// The record's texts point into the entry's own buffer, so an entry may be moved but not copied.
class PasswordEntry {
public:
    PasswordEntry() = default;
    PasswordEntry(PasswordEntry&&) noexcept = default;
    PasswordEntry& operator=(PasswordEntry&&) noexcept = default;
    PasswordEntry(const PasswordEntry&) = delete;
    PasswordEntry& operator=(const PasswordEntry&) = delete;

    bool found() const { return isFound; }
    // The system's record; its texts are null while nothing was found.
    const passwd& record() const { return entry; }
    const char* name() const { return entry.pw_name; }
    uid_t uid() const { return entry.pw_uid; }
    gid_t gid() const { return entry.pw_gid; }
    const char* homeDir() const { return entry.pw_dir; }
    const char* shell() const { return entry.pw_shell; }

private:
    friend PasswordEntry lookupUser(bool byName, const char* name, uid_t uid);

    passwd entry = {};
    std::vector<char> buffer = std::vector<char>(1024);
    bool isFound = false;
};

// By name when byName, else by uid. Raises plat::SystemException "getpwnam(%s)" or
// "getpwuid(%u)" followed by ": account not found" (error number 0), ": null name" (EINVAL) or
// the system's text for the error.
PasswordEntry lookupUser(bool byName, const char* name, uid_t uid);
// The same, giving fallback instead of raising.
PasswordEntry lookupUser(bool byName, const char* name, uid_t uid, PasswordEntry fallback);

} // namespace os
