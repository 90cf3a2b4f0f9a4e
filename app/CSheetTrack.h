#pragma once

// The sheet that shows a track: its name (which it edits), duration, length,
// number of points, speeds and the list of its points.

#include "app/CBrowserTrack.h"
#include "app/CTWApplication.h"
#include "docwindow/CTWWindow.h"
#include "docwindow/IDocumentSheet.h"
#include "framework/CWindowController.h"

class CDataBrowser;
class CEditText;
class CMapObject;
class CMapTrack;
class CStaticText;

class CSheetTrack : public CWindowController, public IDocumentSheet, public CTWWindow {
public:
    static constexpr char const* kNibWindow = "Track Editor";

    CSheetTrack() = default;
    ~CSheetTrack() override;

    OSStatus InitialiseSelf() override;

    // An object of another kind edits nothing.
    void SetObject(CMapObject* object);
    // Only the name is written back.
    void UpdateObject();
    void AcceptSheet() override { UpdateObject(); }

private:
    CMapTrack* mTrack = nullptr; // weak: the document owns it and outlives the sheet
    CBrowserTrack mPoints;
    CEditText* mName = nullptr; // weak: the window's controls
    CStaticText* mTime = nullptr;
    CStaticText* mDistance = nullptr;
    CStaticText* mSamples = nullptr;
    CStaticText* mVelocityMin = nullptr;
    CStaticText* mVelocityMax = nullptr;
    CStaticText* mVelocityAvg = nullptr;
    CDataBrowser* mList = nullptr;
};
