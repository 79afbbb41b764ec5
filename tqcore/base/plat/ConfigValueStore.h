// A key-value store of parameter settings by name (a configuration file, for example), as seen by
// Configuration::migrateAliases.
#pragma once

#include <plat/String.h>

namespace plat {

class ConfigValueStore {
public:
    virtual ~ConfigValueStore() = default;
    // False when the store holds no value for name.
    virtual bool get(const char* name, String& value) = 0;
    virtual void set(const char* name, const char* value) = 0;
    virtual void remove(const char* name) = 0;
};

} // namespace plat
