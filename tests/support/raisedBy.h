// What a call raised, so that the type, text and error number of a foundation exception are
// checked in plain expectations instead of a try block per test.
#pragma once

#include <plat/Exception.h>

#include <string>

namespace testsupport {

struct Raised {
    // "<no exception>" when the call returned.
    std::string message;
    std::string type;
    // The error number of a system exception, 0 for others.
    int error = 0;

    bool startsWith(const std::string& prefix) const { return message.rfind(prefix, 0) == 0; }
};

// Exceptions other than E pass through, so that the test fails on them.
template <typename E = plat::Exception, typename Call>
Raised raisedBy(Call&& call) {
    try {
        call();
    } catch (const E& e) {
        const auto* system = dynamic_cast<const plat::SystemException*>(&e);
        return Raised{e.message(), e.typeText(), system ? system->error() : 0};
    }
    return Raised{"<no exception>", "", 0};
}

} // namespace testsupport
