// What a printing function writes to the stream it is given.
#pragma once

#include <cstdio>
#include <functional>
#include <string>

namespace testsupport {

std::string printedText(const std::function<void(FILE*)>& print);

} // namespace testsupport
