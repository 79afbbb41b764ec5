// Running a test's body in a forked child, for code whose process-wide state cannot be reset
// between tests (the X connection that TXWindow keeps for the life of the process).
#pragma once

#include "forkedChild.h"

#include <plat/Exception.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <exception>
#include <functional>

namespace testsupport {

// Failures in the child are printed by the child and fail the test through its exit status.
// Safe only while the test process has a single thread.
inline void inChildProcess(const std::function<void()>& body) {
    std::fflush(stdout);
    std::fflush(stderr);
    int status = exitStatusOfForkedChild([&] {
        try {
            body();
        } catch (const plat::Exception& failure) {
            ADD_FAILURE() << "exception: " << failure.message();
        } catch (const std::exception& failure) {
            ADD_FAILURE() << "exception: " << failure.what();
        }
        std::fflush(stdout);
        std::fflush(stderr);
        return ::testing::Test::HasFailure() ? 1 : 0;
    });
    EXPECT_EQ(status, 0) << "the test's child process failed (its output is above)";
}

} // namespace testsupport
