// Identity, flags, listeners and the shared store and unset steps of configuration parameters.
#include <plat/ConfigParameter.h>

#include <plat/BinaryParameter.h>
#include <plat/Configuration.h>
#include <plat/Exception.h>
#include <plat/Log.h>
#include <plat/Translator.h>

#include <algorithm>
#include <cstring>

namespace plat {

namespace {

constexpr int StoreLogLevel = 100;
constexpr int DefaultStoreLogLevel = 110;

// Created on first use, as static parameters may change before this file's statics exist.
LogSrc& configParameterLog() {
    static LogSrc source("ConfigParameter");
    return source;
}

// Lists the source from start-up on, before any parameter changes.
[[maybe_unused]] LogSrc& registeredLog = configParameterLog();

} // namespace

LogSrc& ConfigParameter::log() {
    return configParameterLog();
}

ConfigParameter::ConfigParameter(const char* name, ParameterDescription description, bool advanced,
                                 Configuration* configuration, const char* flags)
    : configuration(configuration ? configuration : &Configuration::global()), name(name),
      description(description.text), descriptionKey(description.key), advanced(advanced) {
    // Named as the failure report should read.
    const char* desc = description.text;
    const char* locDesc = description.key;
    PLAT_ASSERT(name);
    PLAT_ASSERT(desc || locDesc);
    setFlags(flags);
    this->configuration->addParam(this);
}

ConfigParameter::ConfigParameter(const ConfigParameter& original, Configuration* configuration)
    : configuration(configuration ? configuration : &Configuration::global()), name(original.name),
      description(original.description), descriptionKey(original.descriptionKey),
      advanced(original.advanced), flags(original.flags) {
    ownStrings();
    this->configuration->addParam(this);
}

ConfigParameter::~ConfigParameter() = default;

bool ConfigParameter::setParam(int, int) {
    return false;
}

int ConfigParameter::getValueInt() const {
    return 0;
}

DString ConfigParameter::formatValue(int value) const {
    DString text;
    text.format("%d", value);
    return text;
}

const char* ConfigParameter::getDescription() const {
    if (description)
        return description;
    return PLAT_TR(descriptionKey);
}

bool ConfigParameter::hasFlag(const char* word) const {
    return word && flags.find(std::string_view(word)) != flags.end();
}

void ConfigParameter::setFlags(const char* commaText) {
    flags.clear();
    if (commaText == nullptr)
        return;
    for (const char* start = commaText;;) {
        const char* comma = std::strchr(start, ',');
        std::size_t length = comma ? std::size_t(comma - start) : std::strlen(start);
        if (length > 0)
            flags.emplace(start, length);
        if (comma == nullptr)
            return;
        start = comma + 1;
    }
}

DString ConfigParameter::getFlags() const {
    DString joined("");
    for (const std::string& flag : flags) {
        if (!joined.isEmpty())
            joined.appendChar(',');
        joined.append(flag.c_str());
    }
    return joined;
}

void ConfigParameter::addCallback(ParameterChangedCallback* callback) {
    if (callback && std::find(callbacks.begin(), callbacks.end(), callback) == callbacks.end())
        callbacks.push_back(callback);
}

void ConfigParameter::removeCallback(ParameterChangedCallback* callback) {
    callbacks.erase(std::remove(callbacks.begin(), callbacks.end(), callback), callbacks.end());
}

bool ConfigParameter::resetToDefault(bool notify) {
    if (getPriority() == DefaultPriority)
        return false;
    for (const auto& [priority, text] : getValues())
        unset(priority, false);
    if (notify)
        notifyCallbacks(DefaultPriority);
    return true;
}

void ConfigParameter::copyFrom(const ConfigParameter& other) {
    if (&other == this)
        return;
    for (const auto& [priority, text] : getValues()) {
        if (!other.hasValueAt(priority))
            unset(priority, true);
    }
    // Binary value texts are masked, so the bytes are copied as bytes.
    auto* binary = dynamic_cast<BinaryParameter*>(this);
    auto* otherBinary = dynamic_cast<const BinaryParameter*>(&other);
    if (binary && otherBinary) {
        binary->copyValuesFrom(*otherBinary);
        return;
    }
    for (const auto& [priority, text] : other.getValues())
        setParam(text.get(), priority);
}

void ConfigParameter::notifyIfDefault() {
    if (getPriority() == DefaultPriority)
        notifyCallbacks(DefaultPriority);
}

void ConfigParameter::valueStored(int priority) {
    if (configuration->logsChanges()) {
        DString text = getValueStrAt(priority);
        log().write(priority <= DefaultPriority ? DefaultStoreLogLevel : StoreLogLevel,
                    "set %s(%s) to %s, priority %d", name, getTypeName(), text.c_str(), priority);
    }
    notifyCallbacks(priority);
}

void ConfigParameter::valueRemoved(int priority, bool notify) {
    if (configuration->logsChanges()) {
        // The text at the current priority, not getValueStr(), keeps binary values masked.
        int current = getPriority();
        DString text = getValueStrAt(current);
        log().write(StoreLogLevel, "unset %s(%s) priority %d, now %s, priority %d", name,
                    getTypeName(), priority, text.c_str(), current);
    }
    if (notify)
        notifyCallbacks(priority);
}

void ConfigParameter::notifyCallbacks(int priority) {
    // A listener may remove itself (or others) while being told.
    std::vector<ParameterChangedCallback*> listeners = callbacks;
    for (ParameterChangedCallback* listener : listeners) {
        if (std::find(callbacks.begin(), callbacks.end(), listener) != callbacks.end())
            listener->parameterChanged(*this, priority);
    }
}

bool ConfigParameter::refusesPriority(int priority) const {
    return priority >= PolicyPriority && hasFlag("noPolicy");
}

ConfigParameter* ConfigParameter::giveToConfiguration(std::unique_ptr<ConfigParameter> parameter) {
    ConfigParameter* registered = parameter.get();
    registered->configuration->adopt(std::move(parameter));
    return registered;
}

void ConfigParameter::ownStrings() {
    ownedName.assign(name);
    ownedDescription.assign(description);
    ownedDescriptionKey.assign(descriptionKey);
    name = ownedName.get();
    description = ownedDescription.get();
    descriptionKey = ownedDescriptionKey.get();
}

} // namespace plat
