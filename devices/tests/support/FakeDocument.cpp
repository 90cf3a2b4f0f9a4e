#include "devices/tests/support/FakeDocument.h"

#include "model/CMapObject.h"

namespace tw::test {

FakeDocument::~FakeDocument()
{
    transfer.reset();
    recorder.reset();
    // Routes go before their waypoints.
    for (CMapObject*& object : objects)
        if (object->IsType(kMapObjectRoute)) {
            delete object;
            object = nullptr;
        }
    for (CMapObject* object : objects)
        delete object;
}

bool FakeDocument::AddObject(CMapObject* object)
{
    if (refusedName.IsNotEmpty() && object->GetName() == refusedName)
        return false;
    objects.push_back(object);
    return true;
}

void FakeDocument::FinishTrack(CString const& majorText, CString const& minorText)
{
    ++finished;
    major = majorText;
    minor = minorText;
    recorder.reset();
}

void FakeDocument::FinishTransfer(CString const& majorText, CString const& minorText)
{
    ++finished;
    major = majorText;
    minor = minorText;
    transfer.reset();
}

} // namespace tw::test
