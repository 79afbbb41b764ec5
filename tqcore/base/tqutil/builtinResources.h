// The built-in resource table of the images and fonts: the process-wide table of files compiled
// into the program, kept in plat so that the translation library below can read it too.
#pragma once

#include <plat/builtinResources.h>

namespace tqutil {

using plat::getResource;
using plat::registerResource;
using plat::Resource;

} // namespace tqutil
