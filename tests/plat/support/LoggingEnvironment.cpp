// Sets logging up for the plat tests as product initialisation does for a program: every source
// to standard error up to level 10, and logging initialised, so that nothing is kept for replay.
// A test that needs the state before initialisation sets QV_TEST_EARLY_LOGGING for the child
// process it starts.
#include <plat/ConfigParameter.h>
#include <plat/Configuration.h>
#include <plat/Log.h>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

class LoggingEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        if (std::getenv("QV_TEST_EARLY_LOGGING"))
            return;
        plat::Configuration::global().set("Log", "*:stderr:10", plat::DefaultPriority);
        plat::initLogging();
    }
};

[[maybe_unused]] ::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new LoggingEnvironment);

} // namespace
