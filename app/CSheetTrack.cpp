#include "app/CSheetTrack.h"

#include "foundation/CTextUtilities.h"
#include "mapdata/CMapManager.h"
#include "model/CMapTrack.h"
#include "widgets/CDataBrowser.h"
#include "widgets/CEditText.h"
#include "widgets/CStaticText.h"

CSheetTrack::~CSheetTrack()
{
    // The list goes with the window, after this sheet's members: it must not keep the source.
    if (mList && mList->GetSource() == &mPoints)
        mList->SetSource(nullptr);
}

OSStatus CSheetTrack::InitialiseSelf()
{
    mName = CEditText::Find(this, 'name', 0);
    mTime = CStaticText::Find(this, 'time', 0);
    mDistance = CStaticText::Find(this, 'dist', 0);
    mSamples = CStaticText::Find(this, 'samp', 0);
    mVelocityMin = CStaticText::Find(this, 'vmin', 0);
    mVelocityMax = CStaticText::Find(this, 'vmax', 0);
    mVelocityAvg = CStaticText::Find(this, 'vavg', 0);
    mList = CDataBrowser::Find(this, 'trak', 0);
    if (!mName || !mTime || !mDistance || !mSamples || !mVelocityMin || !mVelocityMax || !mVelocityAvg || !mList)
        return errUnknownControl;
    mName->SetKeyboardFocus(kControlFocusNextPart);
    return noErr;
}

void CSheetTrack::SetObject(CMapObject* object)
{
    mTrack = dynamic_cast<CMapTrack*>(object);
    if (!mTrack)
        return;
    CString velocityMin, velocityMax, velocityAvg;
    if (mTrack->IsVelocityKnown()) {
        CMapManager const& manager = CMapObject::GetMapManager();
        velocityMin = manager.GetVelocityString(mTrack->GetVelocityMin(), kMapUnitsUser);
        velocityMax = manager.GetVelocityString(mTrack->GetVelocityMax(), kMapUnitsUser);
        velocityAvg = manager.GetVelocityString(mTrack->GetVelocityAvg(), kMapUnitsUser);
    } else {
        velocityMin = velocityMax = velocityAvg = CTextUtilities::GetBundleString("UnknownVelocity");
    }
    CString samples;
    samples.Format("%ld", static_cast<long>(mTrack->GetSamples().size()));
    mName->SetTextValue(mTrack->GetName());
    mTime->SetTextValue(mTrack->GetTime());
    mDistance->SetTextValue(mTrack->GetDistance());
    mSamples->SetTextValue(samples);
    mVelocityMin->SetTextValue(velocityMin);
    mVelocityMax->SetTextValue(velocityMax);
    mVelocityAvg->SetTextValue(velocityAvg);
    mPoints.SetTrack(mTrack);
    mList->SetSource(&mPoints);
}

void CSheetTrack::UpdateObject()
{
    if (mTrack)
        mTrack->SetName(mName->GetTextValue());
}
