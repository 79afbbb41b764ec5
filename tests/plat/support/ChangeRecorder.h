// A parameter listener for tests that records the priority of every notification.
#pragma once

#include <plat/ConfigParameter.h>

#include <vector>

namespace plattest {

class ChangeRecorder : public plat::ParameterChangedCallback {
public:
    void parameterChanged(plat::ConfigParameter&, int priority) override {
        priorities.push_back(priority);
    }

    std::vector<int> priorities;
};

} // namespace plattest
