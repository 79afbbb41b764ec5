// Storage and look-up of the process-wide application identity.
#include <os/AppInfo.h>

#include <loc/Localize.h>
#include <plat/Exception.h>
#include <plat/String.h>

#include <cstring>

namespace os {

namespace {

struct Identity {
    plat::String app;
    plat::String company;
    plat::String pathComp;
    plat::String group;
    plat::String displayNameKey;
    plat::String displayName;
};

// Never destroyed: static objects of other files may ask for the identity while the process
// exits.
Identity& identity() {
    static Identity* stored = new Identity;
    return *stored;
}

void assignUnlessEqual(plat::String& field, const char* text) {
    if (field == plat::String(text))
        return;
    field.assign(text);
}

const char* valueOrEmpty(const char* text) {
    return text ? text : "";
}

} // namespace

const char* AppInfo::getApp(bool emptyIfUnset) {
    const char* app = identity().app.get();
    PLAT_ASSERT(emptyIfUnset || app);
    return valueOrEmpty(app);
}

const char* AppInfo::getCompany(bool emptyIfUnset) {
    const char* company = identity().company.get();
    PLAT_ASSERT(emptyIfUnset || company);
    return valueOrEmpty(company);
}

const char* AppInfo::getPathComp(bool emptyIfUnset) {
    const char* pathComp = identity().pathComp.get();
    PLAT_ASSERT(emptyIfUnset || pathComp);
    return valueOrEmpty(pathComp);
}

const char* AppInfo::getGroup(bool emptyIfUnset) {
    const char* group = identity().group.get();
    PLAT_ASSERT(emptyIfUnset || group);
    return valueOrEmpty(group);
}

void AppInfo::setApp(const char* name) {
    PLAT_ASSERT(name);
    assignUnlessEqual(identity().app, name);
}

void AppInfo::setGroup(const char* name) {
    assignUnlessEqual(identity().group, name);
}

void AppInfo::init(const char* app, const char* company, const char* pathComp,
                   const char* displayNameKey, const char* displayName) {
    Identity& stored = identity();
    assignUnlessEqual(stored.app, app);
    assignUnlessEqual(stored.company, company);
    assignUnlessEqual(stored.pathComp, pathComp);
    assignUnlessEqual(stored.displayNameKey, displayNameKey);
    assignUnlessEqual(stored.displayName, displayName);
}

plat::DString AppInfo::getDisplayName() {
    const Identity& stored = identity();
    if (const char* key = stored.displayNameKey.get())
        return plat::DString(LOC_TR(key));
    if (const char* name = stored.displayName.get())
        return plat::DString(name);
    return plat::DString(stored.app.c_str());
}

plat::DString AppInfo::getDisplayNameWithoutMark() {
    plat::DString plain;
    plain.clear();
    plain.replaceAll(getDisplayName().c_str(), "\u00ae", nullptr);
    return plain;
}

bool AppInfo::isInitialised() {
    const Identity& stored = identity();
    return !stored.app.isNull() && !stored.company.isNull() && !stored.pathComp.isNull();
}

} // namespace os
