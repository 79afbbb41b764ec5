// Sets the ppmm parameter for one test and restores it.
#pragma once

#include <plat/ConfigParameter.h>
#include <tqutil/displayScale.h>

namespace tqutiltest {

class PpmmSetting {
public:
    explicit PpmmSetting(int value) { tqutil::ppmm().setValue(value, plat::PreferencePriority); }
    ~PpmmSetting() { tqutil::ppmm().unset(plat::PreferencePriority, false); }
    PpmmSetting(const PpmmSetting&) = delete;
    PpmmSetting& operator=(const PpmmSetting&) = delete;
};

} // namespace tqutiltest
