// The application's identity: its name, its maker, the path component of its directories and the
// name shown to users. Filled once during start-up and read from anywhere afterwards.
#pragma once

#include <plat/DString.h>

namespace os {

// Process-wide; every field is unset (null) until given a value. Writers run during start-up,
// before other threads exist, so the returned texts stay valid while the process reads them.
class AppInfo {
public:
    AppInfo() = delete;

    // An unset field is an internal consistency failure unless emptyIfUnset, which gives "".
    static const char* getApp(bool emptyIfUnset = false);
    static const char* getCompany(bool emptyIfUnset = false);
    static const char* getPathComp(bool emptyIfUnset = false);
    static const char* getGroup(bool emptyIfUnset = false);

    // The name must not be null.
    static void setApp(const char* name);
    static void setGroup(const char* name);
    // Sets all five fields; null leaves a field unset, and a field that already holds an equal
    // text keeps its storage, so texts handed out earlier stay valid.
    static void init(const char* app, const char* company, const char* pathComp,
                     const char* displayNameKey, const char* displayName);

    // The translation of the display-name key when there is one, else the display name, else the
    // application name ("" when that is unset too).
    static plat::DString getDisplayName();
    // The same without the registered-trademark sign, for places that cannot show it.
    static plat::DString getDisplayNameWithoutMark();

    // Application name, company and path component are all set.
    static bool isInitialised();
};

} // namespace os
