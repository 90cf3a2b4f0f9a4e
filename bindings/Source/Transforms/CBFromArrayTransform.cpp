#include "bindings/Source/Transforms/CBFromArrayTransform.h"

#include <algorithm>

CBFromArrayTransform::CBFromArrayTransform(UInt32 defaultIndex, std::vector<CBValue> const& array)
    : mArray(array)
    , mDefaultIndex(defaultIndex)
{
}

CBValue CBFromArrayTransform::Apply(CBValue const& theValue)
{
    auto const found = std::find(mArray.begin(), mArray.end(), theValue);
    if (found == mArray.end())
        return CBValue(mDefaultIndex);
    return CBValue(static_cast<UInt32>(found - mArray.begin()));
}
