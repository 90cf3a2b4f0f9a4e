#pragma once

// Maps an index to the element of a value array at that index, or to the default
// value when the index is outside the array.

#include "bindings/Source/Transforms/CBValueTransform.h"

#include <vector>

class CBToArrayTransform : public CBValueTransform {
public:
    CBToArrayTransform(CBValue const& defaultValue, std::vector<CBValue> const& array);

    void SetArray(CBValue const& defaultValue, std::vector<CBValue> const& array);
    CBValue Apply(CBValue const& theValue) override;

private:
    std::vector<CBValue> mArray;
    CBValue mDefault;
};
