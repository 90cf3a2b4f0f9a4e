#include "framework/CDisplayRef.h"

UInt32 CDisplayRef::mCurrentClock = 0;

CDisplayRef::CDisplayRef(CDisplayRef const& other) { InitialiseSelf(nullptr, other.mDisplayID); }

CDisplayRef& CDisplayRef::operator=(CDisplayRef const& other)
{
    if (this != &other) {
        mDevice = nullptr;
        mDisplayID = 0;
        InitialiseSelf(nullptr, other.mDisplayID);
    }
    return *this;
}

void CDisplayRef::InitialiseSelf(GDHandle device, DisplayIDType displayID)
{
    mDevice = device;
    mDisplayID = displayID;
    mClock = mCurrentClock;
    if (device)
        DMGetDisplayIDByGDevice(device, &mDisplayID, true);
    else if (displayID != 0)
        DMGetGDeviceByDisplayID(displayID, &mDevice, true);
}

void CDisplayRef::Refresh()
{
    if (mClock == mCurrentClock)
        return;
    mClock = mCurrentClock;
    mDevice = nullptr;
    if (mDisplayID != 0)
        DMGetGDeviceByDisplayID(mDisplayID, &mDevice, true);
}

GDHandle CDisplayRef::GetGDHandle()
{
    Refresh();
    return mDevice;
}

bool CDisplayRef::IsValid()
{
    Refresh();
    return mDevice != nullptr;
}
