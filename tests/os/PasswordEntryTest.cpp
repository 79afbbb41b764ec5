// Password-database look-ups: found accounts, the failure texts, the variant with a fallback.
#include <os/unix/PasswordEntry.h>

#include <plat/Exception.h>

#include <support/raisedBy.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

namespace {

using testsupport::Raised;
using testsupport::raisedBy;

constexpr const char* MissingUser = "qv-no-such-user-7f3a";
constexpr uid_t MissingUid = 3999999999u;

TEST(AccountLookup, FailuresNameTheCallAndTheAccount) {
    struct {
        bool byName;
        const char* name;
        uid_t uid;
        std::string message;
        int error;
    } cases[] = {
        {true, MissingUser, 0, std::string("getpwnam(") + MissingUser + "): account not found", 0},
        {false, nullptr, MissingUid,
         "getpwuid(" + std::to_string(MissingUid) + "): account not found", 0},
        {true, nullptr, 0, "getpwnam(<null>): null name", EINVAL},
    };
    for (const auto& item : cases) {
        Raised raised = raisedBy<plat::SystemException>(
            [&] { os::lookupUser(item.byName, item.name, item.uid); });
        EXPECT_EQ(raised.message, item.message);
        EXPECT_EQ(raised.error, item.error) << item.message;
    }
}

TEST(AccountLookup, FallbackVariantGivesTheFallbackInsteadOfRaising) {
    os::PasswordEntry missing = os::lookupUser(true, MissingUser, 0, os::PasswordEntry());
    EXPECT_FALSE(missing.found());
    EXPECT_EQ(missing.name(), nullptr);
    os::PasswordEntry root = os::lookupUser(true, "root", 0, os::PasswordEntry());
    EXPECT_TRUE(root.found() && root.uid() == 0);
    EXPECT_STREQ(os::lookupUser(false, nullptr, 0, os::PasswordEntry()).name(), "root");
}

} // namespace
