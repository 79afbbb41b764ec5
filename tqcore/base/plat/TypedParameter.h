// The value map shared by the parameter classes: one value of type T per priority, the default
// at priority 0, and the store step every setter goes through.
#pragma once

#include <plat/ConfigParameter.h>

#include <map>
#include <utility>

namespace plat {

template <typename T>
class TypedParameter : public ConfigParameter {
public:
    void unset(int priority, bool notify) override {
        if (priority == DefaultPriority)
            return;
        auto entry = values.find(priority);
        if (entry == values.end())
            return;
        values.erase(entry);
        valueRemoved(priority, notify);
    }

    int getPriority() const override { return values.rbegin()->first; }

    bool hasValueAt(int priority) const override { return values.count(priority) != 0; }

    std::map<int, DString> getValues() const override {
        std::map<int, DString> texts;
        for (const auto& entry : values)
            texts.emplace(entry.first, getValueStrAt(entry.first));
        return texts;
    }

protected:
    TypedParameter(const char* name, ParameterDescription description, T defaultValue,
                   bool advanced, Configuration* configuration, const char* flags)
        : ConfigParameter(name, description, advanced, configuration, flags) {
        // Stored directly: the log sources and listeners may not exist yet during static
        // construction.
        values.emplace(DefaultPriority, std::move(defaultValue));
    }

    TypedParameter(const TypedParameter& original, Configuration* configuration)
        : ConfigParameter(original, configuration), values(original.values) {}

    // The store step: refuses policy priorities under "noPolicy"; an equal value already at the
    // priority is a success that nobody hears of.
    bool store(T value, int priority) {
        if (refusesPriority(priority))
            return false;
        auto existing = values.find(priority);
        if (existing != values.end() && existing->second == value)
            return true;
        values.insert_or_assign(priority, std::move(value));
        valueStored(priority);
        return true;
    }

    const T& current() const { return values.rbegin()->second; }

    // Null when there is no value at priority.
    const T* valueAt(int priority) const {
        auto entry = values.find(priority);
        return entry == values.end() ? nullptr : &entry->second;
    }

    const std::map<int, T>& allValues() const { return values; }

private:
    std::map<int, T> values;
};

} // namespace plat
