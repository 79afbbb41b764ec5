// Password-database look-ups through the re-entrant getpwnam_r and getpwuid_r.
#include <os/unix/PasswordEntry.h>

#include <plat/DString.h>
#include <plat/Exception.h>

#include <cerrno>
#include <cstdio>
#include <utility>

namespace os {

namespace {

// A look-up failure whose error number may be 0 ("account not found"): the text ends with the
// caller's reason instead of the system's text for the number.
class LookupFailure : public plat::SystemException {
public:
    LookupFailure(const char* context, const char* reason, int err) : plat::SystemException(err) {
        appendMessage(context);
        appendMessage(": ");
        appendMessage(reason);
        char typeText[TypeCapacity];
        std::snprintf(typeText, sizeof typeText, "System-%d", err);
        setType(typeText);
    }
};

plat::DString lookupContext(bool byName, const char* name, uid_t uid) {
    plat::DString context;
    if (byName)
        context.format("getpwnam(%s)", name ? name : "<null>");
    else
        context.format("getpwuid(%u)", unsigned(uid));
    return context;
}

int queryDatabase(bool byName, const char* name, uid_t uid, passwd& entry,
                  std::vector<char>& buffer, passwd*& result) {
    if (byName)
        return ::getpwnam_r(name, &entry, buffer.data(), buffer.size(), &result);
    return ::getpwuid_r(uid, &entry, buffer.data(), buffer.size(), &result);
}

} // namespace

PasswordEntry lookupUser(bool byName, const char* name, uid_t uid) {
    if (byName && !name)
        throw LookupFailure(lookupContext(byName, name, uid).get(), "null name", EINVAL);
    PasswordEntry found;
    passwd* result = nullptr;
    int err;
    while ((err = queryDatabase(byName, name, uid, found.entry, found.buffer, result)) == ERANGE)
        found.buffer.resize(found.buffer.size() * 2);
    if (err != 0)
        throw plat::SystemException(lookupContext(byName, name, uid).get(), err);
    if (!result)
        throw LookupFailure(lookupContext(byName, name, uid).get(), "account not found", 0);
    found.isFound = true;
    return found;
}

PasswordEntry lookupUser(bool byName, const char* name, uid_t uid, PasswordEntry fallback) {
    try {
        return lookupUser(byName, name, uid);
    } catch (const plat::SystemException&) {
        return fallback;
    }
}

} // namespace os
