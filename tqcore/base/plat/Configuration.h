// The parameter registry: a named tree of parameter sets with aliases, setting by name and from
// command-line arguments, merging and export. The global configuration receives every parameter
// that names no other.
#pragma once

#include <plat/ConfigParameter.h>
#include <plat/DString.h>
#include <plat/ParameterAlias.h>
#include <plat/String.h>

#include <climits>
#include <cstdint>
#include <initializer_list>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace plat {

class BinaryParameter;
class BoolParameter;
class ConfigValueStore;
class EnumParameter;
class IntParameter;
class S64Parameter;
class StringParameter;

// Compares names without regard to ASCII case.
struct NoCaseLess {
    bool operator()(const String& first, const String& second) const;
};

class Configuration {
public:
    explicit Configuration(const char* name, const char* titleKey = nullptr);
    // Copies name, title key and aliases, then merges other's whole tree into run-time copies.
    Configuration(const Configuration& other);
    Configuration& operator=(const Configuration&) = delete;
    ~Configuration();

    // "Global": created on first use (also from static constructors) and never destroyed.
    static Configuration& global();

    const char* getName() const { return name.get(); }
    // Translation key of the usage title; null when the name is shown instead.
    const char* getTitleKey() const { return titleKey.get(); }
    const std::vector<Configuration*>& getChildren() const { return children; }

    // This configuration's parameters, newest first, then (with recurse) its children's,
    // depth-first.
    std::vector<ConfigParameter*> getParams(bool recurse) const;

    // Names match without regard to ASCII case; this chain is searched before the children.
    ConfigParameter* findParam(const char* name, bool recurse = true) const;
    // Throws plat::Exception "Parameter %s not found".
    ConfigParameter& getParam(const char* name) const;
    // As getParam; a parameter of another class fails an assertion.
    BoolParameter& getBoolParam(const char* name) const;
    IntParameter& getIntParam(const char* name) const;
    StringParameter& getStringParam(const char* name) const;
    EnumParameter& getEnumParam(const char* name) const;
    BinaryParameter& getBinaryParam(const char* name) const;
    S64Parameter& getS64Param(const char* name) const;
    // The current value of a Boolean parameter, or fallback when there is none by that name.
    bool getBool(const char* name, bool fallback) const;

    // Parameters created at run time: owned by this configuration, with copies of the strings.
    BoolParameter& addBool(const char* name, ParameterDescription description, bool defaultValue,
                           bool advanced = false, const char* flags = nullptr);
    IntParameter& addInt(const char* name, ParameterDescription description, int defaultValue,
                         bool advanced = false, int minValue = INT_MIN, int maxValue = INT_MAX,
                         const char* flags = nullptr);
    EnumParameter& addEnum(const char* name, ParameterDescription description,
                           const char* defaultName, const char* const* names, bool advanced = false,
                           const char* flags = nullptr);
    StringParameter& addString(const char* name, ParameterDescription description,
                               const char* defaultValue, bool advanced = false,
                               const char* flags = nullptr);
    S64Parameter& addS64(const char* name, ParameterDescription description,
                         std::int64_t defaultValue, bool advanced = false,
                         const char* flags = nullptr);
    BinaryParameter& addBinary(const char* name, ParameterDescription description,
                               const void* defaultBytes, std::uint32_t defaultLength,
                               bool advanced = false, const char* flags = nullptr);
    // Unlinks and destroys the parameters this configuration owns.
    void discardOwnedParams();

    // The child is searched after this configuration; it is not owned.
    void addChild(Configuration& child);
    // Setting name sets every target at the same priority.
    void addAlias(const char* name, std::initializer_list<const char*> targets);

    // By alias, then by this configuration's first parameter of that name, then by the children
    // in order. False when nothing took the value.
    bool set(const char* name, const char* value, int priority);
    // One command-line argument: "-name", "--name", "[-[-]]name=value"; a bare word is refused.
    bool setFromArg(const char* arg, int priority);

    // For each parameter of other's tree: the parameter of that name here (searched through the
    // children with recurse) takes all its priority values; when there is none and createMissing
    // is set, a run-time copy is made here.
    void mergeFrom(const Configuration& other, bool createMissing, bool recurse);
    // Name to value text of every parameter of the tree that has a value at priority.
    void getValuesAt(int priority, std::map<std::string, std::string>& out) const;
    // Whether every parameter of this tree has one of the same name in other's tree with the same
    // current value text.
    bool sameValues(const Configuration& other) const;
    // Rewrites stored alias settings as settings of their targets (kept where a target already
    // has its own) and removes the alias names from the store.
    void migrateAliases(ConfigValueStore& store) const;
    // The names of this tree's parameters, sorted and joined by ",", whose current value text
    // differs in other's tree (or which other lacks).
    DString diffNames(const Configuration& other) const;
    // Logs every effective value of the tree under "Configuration", highest priority first.
    void logValues() const;

    bool logsChanges() const { return logChanges; }
    void setLogChanges(bool enabled) { logChanges = enabled; }

private:
    friend class ConfigParameter;

    // Links a newly constructed parameter at the head of the chain.
    void addParam(ConfigParameter* parameter);
    // Takes ownership of a parameter already linked into this configuration.
    void adopt(std::unique_ptr<ConfigParameter> parameter);
    template <typename Parameter>
    Parameter& adoptNew(Parameter* parameter);
    ConfigParameter* findHere(const char* name) const;
    bool setAtDepth(const char* name, const char* value, int priority, int aliasDepth);
    void collectAliases(std::vector<std::pair<const String*, const ParameterAlias*>>& out) const;

    String name;
    String titleKey;
    ConfigParameter* head = nullptr;
    std::vector<Configuration*> children;
    std::vector<std::unique_ptr<ConfigParameter>> owned;
    std::map<String, ParameterAlias, NoCaseLess> aliases;
    bool logChanges = true;
};

} // namespace plat
