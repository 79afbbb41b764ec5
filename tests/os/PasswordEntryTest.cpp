// Password-database look-ups: found accounts, the failure texts, the variant with a fallback.
#include <os/unix/PasswordEntry.h>

#include <plat/Exception.h>

#include <support/raisedBy.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <utility>

namespace {

using testsupport::Raised;
using testsupport::raisedBy;

constexpr const char* MissingUser = "qv-no-such-user-7f3a";
constexpr uid_t MissingUid = 3999999999u;

// The message of the exception lookupUser raises, or "" when it raises none.
std::string failureText(bool byName, const char* name, uid_t uid, int* err = nullptr) {
    try {
        os::lookupUser(byName, name, uid);
    } catch (const plat::SystemException& e) {
        if (err)
            *err = e.error();
        return e.message();
    }
    return "";
}

TEST(AccountLookup, FindsRootByNameAndById) {
    os::PasswordEntry byName = os::lookupUser(true, "root", 0);
    EXPECT_TRUE(byName.found());
    EXPECT_EQ(byName.uid(), 0u);
    EXPECT_NE(byName.homeDir(), nullptr);

    os::PasswordEntry byId = os::lookupUser(false, nullptr, 0);
    EXPECT_TRUE(byId.found());
    EXPECT_STREQ(byId.name(), "root");
    EXPECT_STREQ(byId.homeDir(), byName.homeDir());
}

TEST(AccountLookup, MovedEntryKeepsItsTexts) {
    os::PasswordEntry first = os::lookupUser(true, "root", 0);
    std::string home = first.homeDir();
    os::PasswordEntry moved(std::move(first));
    EXPECT_STREQ(moved.name(), "root");
    EXPECT_EQ(moved.homeDir(), home);
}

TEST(AccountLookup, MissingNameSaysAccountNotFoundWithErrorZero) {
    int err = -1;
    EXPECT_EQ(failureText(true, MissingUser, 0, &err),
              std::string("getpwnam(") + MissingUser + "): account not found");
    EXPECT_EQ(err, 0);
}

TEST(AccountLookup, MissingUidSaysAccountNotFound) {
    EXPECT_EQ(failureText(false, nullptr, MissingUid),
              "getpwuid(" + std::to_string(MissingUid) + "): account not found");
}

TEST(AccountLookup, NullNameFailsWithEinval) {
    int err = 0;
    EXPECT_EQ(failureText(true, nullptr, 0, &err), "getpwnam(<null>): null name");
    EXPECT_EQ(err, EINVAL);
}

TEST(AccountLookup, NotFoundFailureHasTheSystemTypeText) {
    Raised raised = raisedBy<plat::SystemException>([&] { os::lookupUser(true, MissingUser, 0); });
    EXPECT_EQ(raised.type, "System-0");
}

TEST(AccountLookup, FallbackVariantGivesTheFallbackInsteadOfRaising) {
    os::PasswordEntry missing = os::lookupUser(true, MissingUser, 0, os::PasswordEntry());
    EXPECT_FALSE(missing.found());
    EXPECT_EQ(missing.name(), nullptr);

    os::PasswordEntry root = os::lookupUser(false, nullptr, 0, os::PasswordEntry());
    EXPECT_TRUE(root.found());
    EXPECT_STREQ(root.name(), "root");
}

} // namespace
