#include "foundation/CIconRef.h"

CIconRef::CIconRef(CFile const& file, bool, OSType creator, OSType type)
{
    FSRef ref;
    if (file.GetFSRef(ref) == noErr && RegisterIconRefFromFSRef(creator, type, &ref, &mIcon) != noErr)
        mIcon = nullptr;
}

CIconRef::CIconRef(CIconRef const& other)
    : mIcon(other.mIcon)
{
    if (mIcon)
        AcquireIconRef(mIcon);
}

CIconRef& CIconRef::operator=(CIconRef const& other)
{
    if (other.mIcon)
        AcquireIconRef(other.mIcon);
    if (mIcon)
        ReleaseIconRef(mIcon);
    mIcon = other.mIcon;
    return *this;
}

CIconRef::~CIconRef()
{
    if (mIcon)
        ReleaseIconRef(mIcon);
}
