// The MaxOutBufferSize setting of buffered output streams. Until the configuration parameter
// registry exists, this small integer setting stands in for the parameter with the same name,
// default, range and description; it is to be replaced by a registered parameter.
#pragma once

#include <plat/NonCopyable.h>

#include <atomic>

namespace rdr {

class IntSettingStandIn : plat::NonCopyable {
public:
    // constexpr so that the setting is ready before any static stream is constructed.
    constexpr IntSettingStandIn(const char* name, const char* description, int defaultValue,
                                int minValue, int maxValue)
        : name(name), description(description), defaultValue(defaultValue), minValue(minValue),
          maxValue(maxValue), value(defaultValue) {}

    const char* getName() const { return name; }
    const char* getDescription() const { return description; }
    int getDefault() const { return defaultValue; }
    int getValue() const { return value.load(std::memory_order_relaxed); }
    // Refuses (returns false) a value outside the range.
    bool setParam(int newValue);
    void resetToDefault() { value.store(defaultValue, std::memory_order_relaxed); }

private:
    const char* name;
    const char* description;
    int defaultValue;
    int minValue;
    int maxValue;
    std::atomic<int> value;
};

extern IntSettingStandIn maxOutBufferSize;

} // namespace rdr
