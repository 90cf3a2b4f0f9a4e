#include "docwindow/CViewMap.h"
#include "docwindow/CWindowDocument.h"
#include "docwindow/DocWindowClasses.h"
#include "foundation/CTextUtilities.h"
#include "framework/CCarbonEvent.h"
#include "model/CMapObject.h"
#include "toolbox/HIObject.h"
#include "toolbox/HIViewCalls.h"
#include "toolbox/WindowCalls.h"

#include <algorithm>

CWindowDocument::CWindowDocument()
{
    if (RegisterDocWindowClasses() != noErr)
        return;
    Rect const content { 40, 40, 40 + 600, 40 + 800 };
    if (CreateNewWindow(kDocumentWindowClass, kWindowStandardDocumentAttributes, &content, &mWindow) != noErr)
        return;
    ControlRef root = nullptr;
    GetRootControl(mWindow, &root);
    CGRect frame = CGRectMake(0, 0, 800, 600);
    CCarbonEvent init(kEventClassHIObject, kEventHIObjectInitialize);
    init.SetParameter(kEventParamInitialBounds, typeHIRect, sizeof frame, &frame);
    HIObjectRef object = nullptr;
    if (HIObjectCreate(CFSTR("com.tarnwick.hiview.map"), init.GetEvent(), &object) != noErr)
        return;
    HIViewAddSubview(root, reinterpret_cast<HIViewRef>(object));
    CFRelease(object);
    mMapView = dynamic_cast<CViewMap*>(CHIObject::GetHIObject(object));
    if (mMapView)
        mMapView->SetDocument(this);
}

CWindowDocument::~CWindowDocument()
{
    if (mMapView)
        mMapView->SetDocument(nullptr);
    if (mWindow)
        DisposeWindow(mWindow);
    for (CMapObject* object : mObjects)
        delete object;
}

bool CWindowDocument::AddObjects(std::vector<CMapObject*> const& objects)
{
    SelectObject(nullptr, false);
    for (CMapObject* object : objects) {
        object->AddListener(this);
        mObjects.push_back(object);
    }
    mModified = true;
    if (objects.size() == 1)
        BroadcastMessage('doad', objects.front());
    else
        BroadcastMessage('dors', nullptr);
    return true;
}

void CWindowDocument::RemoveObjects(std::vector<CMapObject*> const& objects)
{
    SelectObject(nullptr, false);
    for (CMapObject* object : objects) {
        auto const found = std::find(mObjects.begin(), mObjects.end(), object);
        if (found == mObjects.end())
            continue;
        if (objects.size() == 1)
            BroadcastMessage('dorm', object);
        mObjects.erase(found);
        delete object;
    }
    mModified = true;
    if (objects.size() != 1)
        BroadcastMessage('dors', nullptr);
    BroadcastMessage('dsec', this);
}

void CWindowDocument::SelectObject(CMapObject* object, bool select)
{
    bool changed = false;
    for (CMapObject* each : mObjects) {
        if (object && each != object)
            continue;
        if (each->IsSelected() != select) {
            each->SetAttributes(
                select ? UInt32(kMapObjectAttrSelected) : 0u, select ? 0u : UInt32(kMapObjectAttrSelected));
            changed = true;
        }
    }
    if (changed)
        BroadcastMessage('dsec', this);
}

CString CWindowDocument::GetUniqueObjectName(MapObjectType type, CString const& base) const
{
    CString const start = base.IsEmpty() ? CTextUtilities::GetBundleString("ObjectUntitled") : base;
    CString candidate = start;
    for (long n = 1;; ++n) {
        bool const taken = std::any_of(mObjects.begin(), mObjects.end(),
            [&](CMapObject* object) { return object->IsType(type) && object->GetName().EqualNoCase(candidate); });
        if (!taken)
            return candidate;
        candidate.Format("%s %ld", start.GetUTF8(), n);
    }
}

void CWindowDocument::DoMessage(UInt32 message, void* parameter)
{
    if (message == 'mmod')
        BroadcastMessage('domo', parameter);
    else if (message == 'mdir')
        BroadcastMessage('domo', parameter);
}
