#pragma once

// Maps a value to the index of the first equal element of a value array, or to the
// default index when no element is equal. The inverse of CBToArrayTransform.

#include "bindings/Source/Transforms/CBValueTransform.h"

#include <vector>

class CBFromArrayTransform : public CBValueTransform {
public:
    CBFromArrayTransform(UInt32 defaultIndex, std::vector<CBValue> const& array);

    CBValue Apply(CBValue const& theValue) override;

private:
    std::vector<CBValue> mArray;
    UInt32 mDefaultIndex;
};
