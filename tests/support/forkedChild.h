// Running test code in a forked child, optionally without root's privileges (root ignores
// permission bits, so refusals can only be seen as another user).
#pragma once

#include <functional>

namespace testsupport {

// Runs body in a forked child and returns its exit status (0..255), or -1 when it did not exit
// normally. An exception from body ends the child with 99; the child never returns into the test
// framework. Safe only while the test process has a single thread.
int exitStatusOfForkedChild(const std::function<int()>& body);

// Becomes nobody:nogroup without supplementary groups; false when that failed.
bool becomeNobody();

} // namespace testsupport
