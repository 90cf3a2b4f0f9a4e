#pragma once

// What a transfer and a live recording need of the document window that
// started them, and of the progress sheets they report to. The device layer
// stands below the document window and its sheets and cannot name them: the
// document window (CWindowDocument) implements IDeviceDocument, and the
// progress sheets (CSheetTrackProgress, CSheetTransferProgress) implement
// ITrackProgress and ITransferProgress. Main thread.

#include "foundation/CString.h"

#include <vector>

class CMapObject;

class ITrackProgress {
public:
    virtual ~ITrackProgress() = default;
    // Shows the sheet on its document window (it was made without being shown).
    virtual void ShowProgress() = 0;
    // The text and the bar's range; 0 makes the bar indeterminate.
    virtual void SetProgressInfo(CString const& text, unsigned long count) = 0;
};

class ITransferProgress {
public:
    virtual ~ITransferProgress() = default;
    virtual void ShowProgress() = 0;
    virtual void SetProgressInfo(CString const& text, unsigned long count) = 0;
    virtual void SetProgress(unsigned long value) = 0;
};

class IDeviceDocument {
public:
    virtual ~IDeviceDocument() = default;
    // The document's objects in document order.
    virtual std::vector<CMapObject*> const& GetObjects() const = 0;
    // Takes the object over; false when it could not be added.
    virtual bool AddObject(CMapObject* object) = 0;
    // The recording or transfer ended (empty texts: the user stopped it). The document deletes
    // the recorder or transfer after this returns; it is their last call.
    virtual void FinishTrack(CString const& major, CString const& minor) = 0;
    virtual void FinishTransfer(CString const& major, CString const& minor) = 0;
};
