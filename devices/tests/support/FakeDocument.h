#pragma once

// A document as the device layer sees it, for tests: it owns its objects, and
// deletes a finished transfer or recording at once, inside FinishTransfer or
// FinishTrack (the hardest case for them). Its progress sheet records what it
// is told.

#include "devices/CDeviceTrack.h"
#include "devices/CDeviceTransfer.h"
#include "devices/IDeviceDocument.h"
#include "model/CMapObject.h"

#include <memory>
#include <vector>

namespace tw::test {

class FakeProgress : public ITrackProgress, public ITransferProgress {
public:
    void ShowProgress() override { ++shown; }
    void SetProgressInfo(CString const& newText, unsigned long newCount) override
    {
        text = newText;
        count = newCount;
    }
    void SetProgress(unsigned long value) override { values.push_back(value); }

    int shown = 0;
    CString text;
    unsigned long count = 0;
    std::vector<unsigned long> values;
};

class FakeDocument : public IDeviceDocument {
public:
    ~FakeDocument() override;

    std::vector<CMapObject*> const& GetObjects() const override { return objects; }
    bool AddObject(CMapObject* object) override;
    void FinishTrack(CString const& major, CString const& minor) override;
    void FinishTransfer(CString const& major, CString const& minor) override;

    // The objects of one type, in document order.
    template <typename T> std::vector<T*> Objects(MapObjectType type) const
    {
        std::vector<T*> found;
        for (CMapObject* object : objects)
            if (object->IsType(type))
                found.push_back(static_cast<T*>(object));
        return found;
    }

    std::vector<CMapObject*> objects; // owned
    std::unique_ptr<CDeviceTransfer> transfer;
    std::unique_ptr<CDeviceTrack> recorder;
    FakeProgress progress;
    int finished = 0;
    CString major, minor;
    CString refusedName; // AddObject refuses objects of this name
};

} // namespace tw::test
