// The rectangle of regions: 16-bit coordinates, right and bottom exclusive.
#pragma once

#include <Xregion/miregion.h>

namespace rfb {

using RgnRect = xregion::RgnRect;

} // namespace rfb
