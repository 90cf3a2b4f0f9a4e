#include "bindings/Source/Transforms/CBValueTransform.h"

#include "bindings/Source/Core/CBDebugObject.h"

CBValueTransform::~CBValueTransform() { CB_CHECK(mRefCount == 0); }

void CBValueTransform::Release()
{
    // A count already at zero means the transform was freed once: never free it twice.
    if (!CB_CHECK(mRefCount >= 1))
        return;
    mRefCount--;
    if (mRefCount == 0)
        delete this;
}
