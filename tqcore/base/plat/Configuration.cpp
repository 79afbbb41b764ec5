// The parameter registry: lookup, setting by name, aliases, merging, comparison and the log
// listing of effective values.
#include <plat/Configuration.h>

#include <plat/BinaryParameter.h>
#include <plat/BoolParameter.h>
#include <plat/ConfigValueStore.h>
#include <plat/EnumParameter.h>
#include <plat/Exception.h>
#include <plat/IntParameter.h>
#include <plat/Log.h>
#include <plat/S64Parameter.h>
#include <plat/StringParameter.h>
#include <plat/stringUtil.h>

#include <algorithm>
#include <cstring>

namespace plat {

namespace {

// Aliases may name aliases; the limit turns an alias that (indirectly) names itself into a
// refusal instead of endless recursion.
constexpr int MaxAliasDepth = 16;

constexpr int DefaultValueLogLevel = 100;
constexpr int ValueLogLevel = 30;

// Created on first use, as static parameters register before this file's statics exist.
LogSrc& configurationLog() {
    static LogSrc source("Configuration");
    return source;
}

// Lists the source from start-up on, before the first listing of values.
[[maybe_unused]] LogSrc& registeredLog = configurationLog();

bool nameLess(const ConfigParameter* first, const ConfigParameter* second) {
    return compareNoCase(first->getName(), second->getName()) < 0;
}

bool isHidden(const ConfigParameter* parameter) {
    return parameter->getName()[0] == '_';
}

DString priorityLabel(const ConfigParameter& parameter, int priority) {
    DString label;
    if (priority >= PolicyPriority)
        label.assign(parameter.hasValueAt(PreferencePriority) ? "Policy overriding preference"
                                                              : "Policy");
    else if (priority == DefaultPriority)
        label.assign("Default");
    else if (priority == PreferencePriority)
        label.assign("Preference");
    else
        label.format("Priority %d", priority);
    return label;
}

template <typename Typed>
Typed& typedParam(const Configuration& configuration, const char* name) {
    auto* typed = dynamic_cast<Typed*>(&configuration.getParam(name));
    PLAT_ASSERT_INFO(typed, "Parameter %s has another type", name);
    return *typed;
}

} // namespace

bool NoCaseLess::operator()(const String& first, const String& second) const {
    return compareNoCase(first.get(), second.get()) < 0;
}

Configuration::Configuration(const char* name, const char* titleKey)
    : name(name ? name : ""), titleKey(titleKey) {}

Configuration::Configuration(const Configuration& other)
    : name(other.name), titleKey(other.titleKey), aliases(other.aliases) {
    mergeFrom(other, true, true);
}

Configuration::~Configuration() = default;

Configuration& Configuration::global() {
    static Configuration* instance =
        new Configuration("Global", "plat_configuration_global_params");
    return *instance;
}

std::vector<ConfigParameter*> Configuration::getParams(bool recurse) const {
    std::vector<ConfigParameter*> parameters;
    for (ConfigParameter* parameter = head; parameter; parameter = parameter->next)
        parameters.push_back(parameter);
    if (recurse) {
        for (const Configuration* child : children) {
            std::vector<ConfigParameter*> theirs = child->getParams(true);
            parameters.insert(parameters.end(), theirs.begin(), theirs.end());
        }
    }
    return parameters;
}

ConfigParameter* Configuration::findHere(const char* wanted) const {
    for (ConfigParameter* parameter = head; parameter; parameter = parameter->next) {
        if (equalsNoCase(parameter->getName(), wanted))
            return parameter;
    }
    return nullptr;
}

ConfigParameter* Configuration::findParam(const char* wanted, bool recurse) const {
    if (wanted == nullptr)
        return nullptr;
    if (ConfigParameter* parameter = findHere(wanted))
        return parameter;
    if (!recurse)
        return nullptr;
    for (const Configuration* child : children) {
        if (ConfigParameter* parameter = child->findParam(wanted, true))
            return parameter;
    }
    return nullptr;
}

ConfigParameter& Configuration::getParam(const char* wanted) const {
    ConfigParameter* parameter = findParam(wanted);
    if (parameter == nullptr)
        throw ExceptionFmt("Parameter %s not found", wanted ? wanted : "<null>");
    return *parameter;
}

BoolParameter& Configuration::getBoolParam(const char* wanted) const {
    return typedParam<BoolParameter>(*this, wanted);
}

IntParameter& Configuration::getIntParam(const char* wanted) const {
    return typedParam<IntParameter>(*this, wanted);
}

StringParameter& Configuration::getStringParam(const char* wanted) const {
    return typedParam<StringParameter>(*this, wanted);
}

EnumParameter& Configuration::getEnumParam(const char* wanted) const {
    return typedParam<EnumParameter>(*this, wanted);
}

BinaryParameter& Configuration::getBinaryParam(const char* wanted) const {
    return typedParam<BinaryParameter>(*this, wanted);
}

S64Parameter& Configuration::getS64Param(const char* wanted) const {
    return typedParam<S64Parameter>(*this, wanted);
}

bool Configuration::getBool(const char* wanted, bool fallback) const {
    auto* parameter = dynamic_cast<BoolParameter*>(findParam(wanted));
    return parameter ? parameter->getValue() : fallback;
}

template <typename Parameter>
Parameter& Configuration::adoptNew(Parameter* parameter) {
    std::unique_ptr<ConfigParameter> holder(parameter);
    holder->ownStrings();
    adopt(std::move(holder));
    return *parameter;
}

BoolParameter& Configuration::addBool(const char* paramName, ParameterDescription description,
                                      bool defaultValue, bool advanced, const char* flags) {
    return adoptNew(new BoolParameter(paramName, description, defaultValue, advanced, this, flags));
}

IntParameter& Configuration::addInt(const char* paramName, ParameterDescription description,
                                    int defaultValue, bool advanced, int minValue, int maxValue,
                                    const char* flags) {
    return adoptNew(new IntParameter(paramName, description, defaultValue, advanced, this, minValue,
                                     maxValue, flags));
}

EnumParameter& Configuration::addEnum(const char* paramName, ParameterDescription description,
                                      const char* defaultName, const char* const* names,
                                      bool advanced, const char* flags) {
    EnumParameter& parameter = adoptNew(
        new EnumParameter(paramName, description, defaultName, names, advanced, this, flags));
    parameter.ownNames();
    return parameter;
}

StringParameter& Configuration::addString(const char* paramName, ParameterDescription description,
                                          const char* defaultValue, bool advanced,
                                          const char* flags) {
    return adoptNew(
        new StringParameter(paramName, description, defaultValue, advanced, this, flags));
}

S64Parameter& Configuration::addS64(const char* paramName, ParameterDescription description,
                                    std::int64_t defaultValue, bool advanced, const char* flags) {
    return adoptNew(new S64Parameter(paramName, description, defaultValue, advanced, this, flags));
}

BinaryParameter& Configuration::addBinary(const char* paramName, ParameterDescription description,
                                          const void* defaultBytes, std::uint32_t defaultLength,
                                          bool advanced, const char* flags) {
    return adoptNew(new BinaryParameter(paramName, description, defaultBytes, defaultLength,
                                        advanced, this, flags));
}

void Configuration::discardOwnedParams() {
    ConfigParameter** link = &head;
    while (*link) {
        ConfigParameter* parameter = *link;
        bool isOwned = std::any_of(owned.begin(), owned.end(), [parameter](const auto& mine) {
            return mine.get() == parameter;
        });
        if (isOwned)
            *link = parameter->next;
        else
            link = &parameter->next;
    }
    owned.clear();
}

void Configuration::addParam(ConfigParameter* parameter) {
    parameter->next = head;
    head = parameter;
}

void Configuration::adopt(std::unique_ptr<ConfigParameter> parameter) {
    PLAT_ASSERT(parameter->configuration == this);
    owned.push_back(std::move(parameter));
}

void Configuration::addChild(Configuration& child) {
    PLAT_ASSERT(&child != this);
    children.push_back(&child);
}

void Configuration::addAlias(const char* aliasName, std::initializer_list<const char*> targets) {
    PLAT_ASSERT(aliasName);
    aliases.insert_or_assign(String(aliasName), ParameterAlias(targets));
}

bool Configuration::set(const char* paramName, const char* value, int priority) {
    return setAtDepth(paramName, value, priority, 0);
}

bool Configuration::setAtDepth(const char* paramName, const char* value, int priority,
                               int aliasDepth) {
    if (paramName == nullptr)
        return false;
    auto alias = aliases.find(String(paramName));
    if (alias != aliases.end()) {
        AliasExpansion expansion;
        if (aliasDepth >= MaxAliasDepth || !alias->second.expand(paramName, value, expansion))
            return false;
        if (expansion.empty())
            return true;
        bool anySet = false;
        for (const auto& [target, targetValue] : expansion) {
            if (setAtDepth(target.c_str(), targetValue.get(), priority, aliasDepth + 1))
                anySet = true;
        }
        return anySet;
    }
    if (ConfigParameter* parameter = findHere(paramName))
        return parameter->setParam(value, priority);
    for (Configuration* child : children) {
        if (child->setAtDepth(paramName, value, priority, aliasDepth))
            return true;
    }
    return false;
}

bool Configuration::setFromArg(const char* arg, int priority) {
    if (arg == nullptr)
        return false;
    bool dashed = arg[0] == '-';
    if (startsWith(arg, "--"))
        arg += 2;
    else if (dashed)
        arg += 1;
    if (const char* equals = std::strchr(arg, '=')) {
        std::string paramName(arg, std::size_t(equals - arg));
        return set(paramName.c_str(), equals + 1, priority);
    }
    return dashed && set(arg, nullptr, priority);
}

void Configuration::mergeFrom(const Configuration& other, bool createMissing, bool recurse) {
    std::vector<ConfigParameter*> theirs = other.getParams(true);
    // Oldest first, so that copies made here keep the original chain order.
    for (auto it = theirs.rbegin(); it != theirs.rend(); ++it) {
        ConfigParameter* source = *it;
        ConfigParameter* mine =
            recurse ? findParam(source->getName(), true) : findHere(source->getName());
        if (mine)
            mine->copyFrom(*source);
        else if (createMissing)
            source->clone(this);
    }
}

void Configuration::getValuesAt(int priority, std::map<std::string, std::string>& out) const {
    for (const ConfigParameter* parameter : getParams(true)) {
        if (parameter->hasValueAt(priority))
            out.emplace(parameter->getName(), parameter->getValueStrAt(priority).c_str());
    }
}

bool Configuration::sameValues(const Configuration& other) const {
    for (const ConfigParameter* parameter : getParams(true)) {
        const ConfigParameter* theirs = other.findParam(parameter->getName(), true);
        if (theirs == nullptr ||
            std::strcmp(parameter->getValueStr().c_str(), theirs->getValueStr().c_str()) != 0)
            return false;
    }
    return true;
}

void Configuration::collectAliases(
    std::vector<std::pair<const String*, const ParameterAlias*>>& out) const {
    for (const auto& [aliasName, alias] : aliases)
        out.emplace_back(&aliasName, &alias);
    for (const Configuration* child : children)
        child->collectAliases(out);
}

void Configuration::migrateAliases(ConfigValueStore& store) const {
    std::vector<std::pair<const String*, const ParameterAlias*>> all;
    collectAliases(all);
    for (const auto& [aliasName, alias] : all) {
        String value;
        AliasExpansion expansion;
        if (!store.get(aliasName->get(), value) ||
            !alias->expand(aliasName->get(), value.get(), expansion))
            continue;
        for (const auto& [target, targetValue] : expansion) {
            String existing;
            if (!store.get(target.c_str(), existing))
                store.set(target.c_str(), targetValue.c_str());
        }
        store.remove(aliasName->get());
    }
}

DString Configuration::diffNames(const Configuration& other) const {
    std::vector<ConfigParameter*> differing;
    for (ConfigParameter* parameter : getParams(true)) {
        const ConfigParameter* theirs = other.findParam(parameter->getName(), true);
        if (theirs == nullptr ||
            std::strcmp(parameter->getValueStr().c_str(), theirs->getValueStr().c_str()) != 0)
            differing.push_back(parameter);
    }
    std::stable_sort(differing.begin(), differing.end(), nameLess);
    DString names("");
    const char* previous = nullptr;
    for (const ConfigParameter* parameter : differing) {
        if (previous && equalsNoCase(previous, parameter->getName()))
            continue;
        if (previous)
            names.appendChar(',');
        names.append(parameter->getName());
        previous = parameter->getName();
    }
    return names;
}

void Configuration::logValues() const {
    std::vector<ConfigParameter*> listed = getParams(true);
    listed.erase(std::remove_if(listed.begin(), listed.end(), isHidden), listed.end());
    std::stable_sort(listed.begin(), listed.end(),
                     [](const ConfigParameter* first, const ConfigParameter* second) {
                         if (first->getPriority() != second->getPriority())
                             return first->getPriority() > second->getPriority();
                         return nameLess(first, second);
                     });
    for (const ConfigParameter* parameter : listed) {
        int priority = parameter->getPriority();
        DString text = parameter->getValueStrAt(priority);
        configurationLog().write(priority == DefaultPriority ? DefaultValueLogLevel : ValueLogLevel,
                                 "%s=%s (%s)", parameter->getName(), text.c_str(),
                                 priorityLabel(*parameter, priority).c_str());
    }
}

} // namespace plat
