#pragma once

// The 20-byte record in which preferences keep points, sizes and rectangles: a
// four-character tag as a little-endian 32-bit integer, then four little-endian
// 32-bit floats (x, y, width, height; unused ones zero).

#include "bindings/Source/Core/CBValue.h"

namespace tw::bindings {

constexpr CFIndex kGeometryRecordSize = 20;

// +1, or null for a value that is no point, size or rectangle.
CFDataRef CreateGeometryRecord(CBValue const& theValue);
// An invalid value, reported, for data of another size or tag.
CBValue ReadGeometryRecord(CFDataRef data);

} // namespace tw::bindings
