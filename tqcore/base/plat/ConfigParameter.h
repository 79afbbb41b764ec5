// The base of every configuration parameter: a named, typed tunable that holds one value per
// priority, registered in a Configuration, with flags and change listeners.
#pragma once

#include <plat/DString.h>
#include <plat/NonCopyable.h>
#include <plat/String.h>

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace plat {

class Configuration;
class ConfigParameter;
class LogSrc;

// Priorities of values. The current value is the one at the highest priority present; the
// default at priority 0 can never be removed.
constexpr int DefaultPriority = 0;
constexpr int PreferencePriority = 10;
constexpr int PolicyPriority = 30;

class ParameterChangedCallback {
public:
    virtual ~ParameterChangedCallback() = default;
    // Called after a value was stored at or removed from priority.
    virtual void parameterChanged(ConfigParameter& parameter, int priority) = 0;
};

// Marks a description as a translation key, selecting the translated constructor form.
struct DescriptionKey {
    constexpr explicit DescriptionKey(const char* key) : key(key) {}
    const char* key;
};

// Either a plain description (a text) or a translation key (DescriptionKey).
struct ParameterDescription {
    constexpr ParameterDescription(const char* text) : text(text) {}
    constexpr ParameterDescription(DescriptionKey key) : key(key.key) {}

    const char* text = nullptr;
    const char* key = nullptr;
};

class ConfigParameter : NonCopyable {
public:
    // The order of these operations is part of the parameters' binary interface.
    virtual ~ConfigParameter();
    // Parses text by the type's rules and stores it at priority; false when refused.
    virtual bool setParam(const char* text, int priority) = 0;
    // Removes the value at priority; priority 0 and absent priorities are left alone.
    virtual void unset(int priority, bool notify) = 0;
    // Only the Bool and Int families take integers; the others refuse.
    virtual bool setParam(int value, int priority);
    virtual DString getValueStr() const = 0;
    // Bool gives 0 or 1; text and binary parameters give 0.
    virtual int getValueInt() const;
    virtual int getPriority() const = 0;
    virtual bool hasValueAt(int priority) const = 0;
    // Null when there is no value at priority. Binary parameters give "<binary>" so that secret
    // bytes never reach logs or listings.
    virtual DString getValueStrAt(int priority) const = 0;
    // Every priority with getValueStrAt's text.
    virtual std::map<int, DString> getValues() const = 0;
    virtual const char* getTypeName() const = 0;
    // A copy with the same identity and every priority value, owning its strings, registered in
    // and owned by configuration (null: the global one).
    virtual ConfigParameter* clone(Configuration* configuration) const = 0;
    virtual DString formatValue(int value) const;

    const char* getName() const { return name; }
    // The plain description, or else the translation of the description key.
    const char* getDescription() const;
    // Null when the parameter was declared with a plain description.
    const char* getDescriptionKey() const { return descriptionKey; }
    bool isAdvanced() const { return advanced; }
    Configuration* getConfiguration() const { return configuration; }

    // Exact, case-sensitive membership.
    bool hasFlag(const char* word) const;
    // Replaces the flags by the comma-separated words of commaText (null: none).
    void setFlags(const char* commaText);
    // The flags joined by ",".
    DString getFlags() const;

    // Listeners are not owned; adding one twice has no effect.
    void addCallback(ParameterChangedCallback* callback);
    void removeCallback(ParameterChangedCallback* callback);

    // Removes every value above the default; listeners then hear of priority 0 once. False when
    // the default was already current.
    bool resetToDefault(bool notify);
    // Takes every priority value of other, dropping (with notification) those it lacks.
    void copyFrom(const ConfigParameter& other);
    // Tells the listeners about priority 0 when the default is current.
    void notifyIfDefault();

protected:
    ConfigParameter(const char* name, ParameterDescription description, bool advanced,
                    Configuration* configuration, const char* flags);
    // The identity of original (name, descriptions, advanced flag, flags) with owned strings,
    // registered in configuration.
    ConfigParameter(const ConfigParameter& original, Configuration* configuration);

    // The store step after a value was stored at priority: logging and listeners.
    void valueStored(int priority);
    // The unset step after the value at priority was erased.
    void valueRemoved(int priority, bool notify);
    void notifyCallbacks(int priority);
    // Whether the "noPolicy" flag forbids a value at priority.
    bool refusesPriority(int priority) const;
    // Hands a run-time copy to its configuration, which owns it from then on.
    static ConfigParameter* giveToConfiguration(std::unique_ptr<ConfigParameter> parameter);
    void forceAdvanced() { advanced = true; }
    // The "ConfigParameter" log source; created on first use, as parameters are static objects.
    static LogSrc& log();

private:
    friend class Configuration;

    // Replaces the borrowed name and descriptions by owned duplicates.
    void ownStrings();

    Configuration* configuration;
    ConfigParameter* next = nullptr;
    const char* name;
    const char* description;
    const char* descriptionKey;
    bool advanced;
    String ownedName;
    String ownedDescription;
    String ownedDescriptionKey;
    std::set<std::string, std::less<>> flags;
    std::vector<ParameterChangedCallback*> callbacks;
};

} // namespace plat
