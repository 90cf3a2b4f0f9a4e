#include "bindings/Source/Transforms/CBToArrayTransform.h"

#include "bindings/Source/Core/CBDebugObject.h"

CBToArrayTransform::CBToArrayTransform(CBValue const& defaultValue, std::vector<CBValue> const& array)
    : mArray(array)
    , mDefault(defaultValue)
{
}

void CBToArrayTransform::SetArray(CBValue const& defaultValue, std::vector<CBValue> const& array)
{
    mArray = array;
    mDefault = defaultValue;
}

CBValue CBToArrayTransform::Apply(CBValue const& theValue)
{
    if (!theValue.IsNumber()) {
        CB_REPORT("Illegal value type: %d", static_cast<int>(theValue.GetType()));
        return mDefault;
    }
    UInt32 const index = theValue.GetUInt32();
    return index < mArray.size() ? mArray[index] : mDefault;
}
