// The log source of the translation library, shared by its source files.
#pragma once

#include <plat/Log.h>

namespace loc {

// Created on first use: texts are looked up from other static constructors.
plat::LogSrc& localizeLog();

} // namespace loc
