#include "docwindow/CViewMap.h"
#include "docwindow/CWindowDocument.h"
#include "foundation/CFArray.h"
#include "foundation/CFPropertyList.h"
#include "foundation/CTextUtilities.h"
#include "foundation/Status.h"
#include "framework/CApplication.h"
#include "model/CDocumentInfo.h"
#include "model/CMapCircle.h"
#include "model/CMapCrop.h"
#include "model/CMapLine.h"
#include "model/CMapNote.h"
#include "model/CMapRectangle.h"
#include "model/CMapRoute.h"
#include "model/CMapTrack.h"
#include "model/CMapWaypoint.h"
#include "widgets/CSplitterView.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <optional>

namespace {

constexpr UInt32 kMaxZoomLevel = 17;

bool IsStored(CMapObject const* object) { return (object->GetAttributes() & kMapObjectAttrTemporary) == 0; }

// A view centre from outside data lies on the globe.
CCoordinate ReadCentre(CString const& text)
{
    CCoordinate centre;
    centre.SetString(text); // unreadable text gives 0, 0
    return CCoordinate(std::clamp(centre.GetLatitude(), -90.0, 90.0), std::clamp(centre.GetLongitude(), -180.0, 180.0),
        centre.GetAltitude());
}

} // namespace

CMapObject* CWindowDocument::MakeObject(MapObjectType type)
{
    switch (type) {
    case kMapObjectCircle:
        return new CMapCircle();
    case kMapObjectCrop:
        return new CMapCrop();
    case kMapObjectLine:
        return new CMapLine();
    case kMapObjectNote:
        return new CMapNote();
    case kMapObjectRectangle:
        return new CMapRectangle();
    case kMapObjectRoute:
        return new CMapRoute();
    case kMapObjectTrack:
        return new CMapTrack();
    case kMapObjectWaypoint:
        return new CMapWaypoint();
    default:
        return nullptr;
    }
}

OSStatus CWindowDocument::EncodeProperties(CFDictionary& properties)
{
    TW_RETURN_IF_ERROR(EncodeObjects(properties));
    return EncodeSettings(properties);
}

// Everything but the objects; keys of a newer version are written back as they came.
OSStatus CWindowDocument::EncodeSettings(CFDictionary& properties)
{
    for (auto const& [key, value] : mUnreadKeys)
        properties.SetValue(key, value.Get());
    properties.SetValueUInt32(kPropertyFormat, kDocumentFormat);
    if (mMapView) {
        properties.SetValueString(kPropertyViewCentre, mMapView->GetMapCentre().GetString());
        properties.SetValueUInt32(kPropertyViewZoom, UInt32(mMapView->GetMapZoom()));
    }
    if (mSplitter)
        properties.SetValueFloat32(kPropertySplitterRatio, mSplitter->GetRatio());
    TW_RETURN_IF_ERROR(mInfo.EncodeProperties(properties));
    return CDocument::EncodeProperties(properties);
}

// The same file as EncodeProperties gives, but each object is encoded as it is written
// and let go of: a large document is never held a second time, as property lists.
OSStatus CWindowDocument::SaveSelf()
{
    CFDictionary properties;
    TW_RETURN_IF_ERROR(EncodeSettings(properties));
    StCFRef<CFMutableArrayRef> objects(CFArrayCreateMutable(nullptr, 0, &kCFTypeArrayCallBacks));
    properties.SetValue(kPropertyObjects, objects.Get());
    ObjectCursor cursor { 0, NumberObjects() };
    CFPropertyList propertyList;
    propertyList.SetPropertyList(properties.GetCFDictionary());
    // A save the user asked for shows its progress when it takes a while, and can be stopped:
    // the file on disk is then left as it was.
    bool const work = IsSavingForUser() && !mWork.active;
    if (work) {
        CString text;
        text.Format(CTextUtilities::GetBundleString("DocSaveProgress").GetUTF8(), GetFile().GetDisplayName().GetUTF8());
        BeginWork(text);
    }
    std::size_t const total = mObjects.size() + mUnreadObjects.size();
    OSStatus const status
        = propertyList.Save(GetFile(), objects.Get(), [this, &cursor, work, total](OSStatus& status) -> CFTypeRef {
              if (work && !StepWork(cursor.index, total)) {
                  status = userCanceledErr;
                  return nullptr;
              }
              return EncodeNextObject(cursor, status);
          });
    if (work)
        EndWork();
    return status;
}

// Objects are numbered 1 to N in document order, so that routes name their waypoints by
// those numbers; objects that could not be read when the file was opened follow, unchanged
// but for their numbers. Temporary objects are the program's own and are not stored.
UInt32 CWindowDocument::NumberObjects()
{
    UInt32 id = 0;
    for (CMapObject* object : mObjects)
        if (IsStored(object))
            object->SetID(++id);
    return id;
}

CFTypeRef CWindowDocument::EncodeNextObject(ObjectCursor& cursor, OSStatus& status)
{
    while (cursor.index < mObjects.size() && !IsStored(mObjects[cursor.index]))
        ++cursor.index;
    if (cursor.index < mObjects.size()) {
        CFDictionary dictionary;
        status = mObjects[cursor.index++]->EncodeProperties(dictionary);
        return status == noErr ? CFRetain(dictionary.GetCFDictionary()) : nullptr;
    }
    std::size_t const unread = cursor.index++ - mObjects.size();
    if (unread >= mUnreadObjects.size())
        return nullptr;
    CFTypeRef const kept = mUnreadObjects[unread].Get();
    if (CFGetTypeID(kept) != CFDictionaryGetTypeID())
        return CFRetain(kept);
    CFDictionary dictionary(static_cast<CFDictionaryRef>(kept));
    dictionary.SetValueUInt32(CMapObject::kKeyID, cursor.stored + UInt32(unread) + 1);
    return CFRetain(dictionary.GetCFDictionary());
}

OSStatus CWindowDocument::EncodeObjects(CFDictionary& properties)
{
    StCFRef<CFMutableArrayRef> array(CFArrayCreateMutable(nullptr, 0, &kCFTypeArrayCallBacks));
    ObjectCursor cursor { 0, NumberObjects() };
    OSStatus status = noErr;
    while (CFTypeRef object = EncodeNextObject(cursor, status)) {
        CFArrayAppendValue(array.Get(), object);
        CFRelease(object);
    }
    TW_RETURN_IF_ERROR(status);
    properties.SetValue(kPropertyObjects, array.Get()); // this function's own: no copy
    return noErr;
}

OSStatus CWindowDocument::DecodeProperties(CFDictionary const& properties)
{
    // 1. Quiet while loading; what was there before (a revert) goes once the views let go of it.
    SetBroadcasting(false);
    std::vector<CMapObject*> previous;
    previous.swap(mObjects);
    mUnreadObjects.clear();
    mLoadReport = LoadReport();
    // A file without a format number is read as this format: only another number is unknown.
    mLoadReport.format
        = properties.HasKey(kPropertyFormat) ? properties.GetValueUInt32(kPropertyFormat) : kDocumentFormat;
    mLoadReport.unknownFormat = mLoadReport.format != kDocumentFormat;
    mNewerFormat = mLoadReport.format > kDocumentFormat ? mLoadReport.format : 0;
    KeepUnreadKeys(properties);
    // 2. and 3. The objects, and the routes' waypoints.
    DecodeObjects(properties);
    // 4. The view, with its defaults.
    CCoordinate const centre = ReadCentre(properties.GetValueString(kPropertyViewCentre));
    UInt32 const level = std::min(properties.GetValueUInt32(kPropertyViewZoom), kMaxZoomLevel);
    float const ratio = properties.HasKey(kPropertySplitterRatio) ? properties.GetValueFloat32(kPropertySplitterRatio)
                                                                  : kDefaultSplitterRatio;
    // 5. The document's information, the window, the view. The map is centred last, once
    // the window and the list beside it have their sizes, so that the centre is the centre.
    OSStatus status = mInfo.DecodeProperties(properties);
    if (status == noErr) {
        status = CDocument::DecodeProperties(properties);
        if (mSplitter)
            mSplitter->SetRatio(ratio);
        if (mMapView) {
            mMapView->SetMapZoom(CHIView::kZoomFactor, nullptr, level);
            mMapView->SetMapCentre(centre);
        }
        SetModified(false);
    }
    // Broadcasting comes back whatever happened, or the views would never hear of the document again.
    SetBroadcasting(true);
    BroadcastMessage(kMsgObjectsReset, nullptr);
    DeleteObjects(previous);
    return status;
}

void CWindowDocument::KeepUnreadKeys(CFDictionary const& properties)
{
    static char const* const kKnown[] = { kPropertyFormat, kPropertyObjects, kPropertyViewCentre, kPropertyViewZoom,
        kPropertySplitterRatio, CDocumentInfo::kKeyAuthor, CDocumentInfo::kKeyDescription, kPropertyWindowBounds };
    mUnreadKeys.clear();
    CFDictionaryRef const dictionary = properties.GetCFDictionary();
    CFIndex const count = dictionary ? CFDictionaryGetCount(dictionary) : 0;
    auto keys = std::vector<void const*>(std::size_t(count));
    auto values = std::vector<void const*>(std::size_t(count));
    if (count > 0)
        CFDictionaryGetKeysAndValues(dictionary, keys.data(), values.data());
    for (CFIndex i = 0; i < count; ++i) {
        auto const key = static_cast<CFTypeRef>(keys[std::size_t(i)]);
        if (!key || CFGetTypeID(key) != CFStringGetTypeID())
            continue;
        CString const name(static_cast<CFStringRef>(key), false);
        bool const known
            = std::any_of(std::begin(kKnown), std::end(kKnown), [&name](char const* k) { return name == CString(k); });
        if (!known)
            mUnreadKeys.emplace_back(name, CFRetain(static_cast<CFTypeRef>(values[std::size_t(i)])));
    }
}

// A file of a newer version is not rewritten in this version's format without a word.
bool CWindowDocument::ConfirmSave()
{
    if (mNewerFormat != 0) {
        CString major, minor;
        major.Format(CTextUtilities::GetBundleString("DocSaveOlderFormat").GetUTF8(), GetDisplayName().GetUTF8(),
            unsigned(mNewerFormat));
        minor.Format(CTextUtilities::GetBundleString("DocSaveOlderFormatDetail").GetUTF8(), unsigned(kDocumentFormat));
        SInt16 const answer = CApplication::DoAlert(major, minor, 2 /* caution */,
            CTextUtilities::GetBundleString("DocSaveOlderFormatSave"), CTextUtilities::GetBundleString("AlertCancel"),
            CString());
        if (answer != 1)
            return false;
    }
    if (!CDocument::ConfirmSave())
        return false;
    mNewerFormat = 0;
    return true;
}

// Made from several threads at once; afterwards, in the list's order, the objects and the
// elements that gave none. A track is made afterwards, on the calling thread: its samples
// would otherwise be made while the file's whole text is still held, and a long track's
// text, its samples and the file would be in memory at once.
class CWindowDocument::ReadObjects {
public:
    ReadObjects() = default;
    ReadObjects(ReadObjects const&) = delete;
    ReadObjects& operator=(ReadObjects const&) = delete;
    ~ReadObjects()
    {
        for (Slot const& slot : mSlots) {
            delete slot.object;
            if (slot.element)
                CFRelease(slot.element);
        }
    }

    void Begin(std::size_t count) { mSlots.resize(count); }

    // For each index once, from any thread.
    void Take(std::size_t index, CFTypeRef element)
    {
        Slot& slot = mSlots.at(index);
        bool const isDictionary = element && CFGetTypeID(element) == CFDictionaryGetTypeID();
        CFDictionary const dictionary(
            isDictionary ? static_cast<CFDictionaryRef>(element) : nullptr, CFDictionary::Shared::kForReading);
        MapObjectType const type = isDictionary ? CMapObject::GetEncodedType(dictionary) : MapObjectType(0);
        if (type == kMapObjectTrack) {
            slot.element = CFRetain(element);
            slot.later = true;
            return;
        }
        Make(slot, element, isDictionary ? &dictionary : nullptr, type);
    }

    // What was read, the objects becoming the caller's.
    void Finish(std::vector<CMapObject*>& objects, std::vector<StCFRef<CFTypeRef>>& unread, LoadReport& report)
    {
        objects.reserve(objects.size() + mSlots.size());
        for (Slot& slot : mSlots) {
            if (slot.later) {
                CFTypeRef const element = slot.element;
                slot.element = nullptr;
                slot.later = false;
                CFDictionary const dictionary(static_cast<CFDictionaryRef>(element), CFDictionary::Shared::kForReading);
                Make(slot, element, &dictionary, CMapObject::GetEncodedType(dictionary));
                CFRelease(element);
            }
            if (slot.object) {
                objects.push_back(slot.object);
                slot.object = nullptr;
                continue;
            }
            ++(slot.unknown ? report.unknownObjects : report.damagedObjects);
            if (slot.element)
                unread.emplace_back(slot.element); // takes over the reference
            slot.element = nullptr;
        }
        mSlots.clear();
    }

private:
    struct Slot {
        CMapObject* object = nullptr; // owns
        CFTypeRef element = nullptr; // retains: one that gave no object (kept as it is), or one made later
        bool later = false; // the element is made into its object by Finish
        bool unknown = false; // a dictionary, of a kind this version does not know
    };

    // The slot's object from its element (dictionary: the element's, when it is one).
    void Make(Slot& slot, CFTypeRef element, CFDictionary const* dictionary, MapObjectType type) const
    {
        struct Styles {
            explicit Styles(CMapObject::DefaultStyles const& styles) { CMapObject::UseDefaultStyles(&styles); }
            ~Styles() { CMapObject::UseDefaultStyles(nullptr); }
        } const styles(mStyles);
        std::unique_ptr<CMapObject> object(dictionary ? MakeObject(type) : nullptr);
        slot.unknown = dictionary && !object;
        if (object && object->DecodeProperties(*dictionary) != noErr)
            object.reset();
        if (object)
            slot.object = object.release();
        else if (element)
            slot.element = CFRetain(element);
    }

    std::vector<Slot> mSlots;
    CMapObject::DefaultStyles const mStyles = CMapObject::TakeDefaultStyles(); // threads cannot ask
};

// The file's objects are made as its list is read, each element let go of once it has given
// its object: a large document is never held whole as property lists.
OSStatus CWindowDocument::LoadSelf()
{
    ReadObjects read;
    CFPropertyList propertyList;
    OSStatus const status = propertyList.Load(
        GetFile(), kPropertyObjects, [&read](std::size_t count) { read.Begin(count); },
        [&read](std::size_t index, CFTypeRef element) { read.Take(index, element); });
    if (status != noErr)
        return status;
    CFDictionaryRef const dictionary = propertyList.GetDictionary();
    if (!dictionary)
        return kNothingParseableErr;
    mStreamedObjects = &read;
    OSStatus const decoded = DecodeProperties(CFDictionary(dictionary, CFDictionary::Shared::kForReading));
    mStreamedObjects = nullptr;
    return decoded;
}

void CWindowDocument::DecodeObjects(CFDictionary const& properties)
{
    auto const value = static_cast<CFTypeRef>(
        CFDictionaryGetValue(properties.GetCFDictionary(), CString(kPropertyObjects).GetCFString()));
    // No list is no objects; a list that is something else was damaged.
    if (!value)
        return;
    if (CFGetTypeID(value) != CFArrayGetTypeID()) {
        mLoadReport.noObjects = true;
        return;
    }
    // Read with the file, or read now from the list.
    std::optional<ReadObjects> here;
    if (!mStreamedObjects) {
        auto const array = static_cast<CFArrayRef>(value);
        here.emplace();
        here->Begin(std::size_t(CFArrayGetCount(array)));
        for (CFIndex i = 0; i < CFArrayGetCount(array); ++i)
            here->Take(std::size_t(i), static_cast<CFTypeRef>(CFArrayGetValueAtIndex(array, i)));
    }
    ReadObjects& read = mStreamedObjects ? *mStreamedObjects : *here;
    std::vector<CMapObject*> loaded;
    read.Finish(loaded, mUnreadObjects, mLoadReport);
    AddObjects(loaded); // at once: one by one, each would look through all before it
    // Routes name their waypoints by the file's numbers.
    if (std::none_of(loaded.begin(), loaded.end(), [](CMapObject* object) { return object->IsType(kMapObjectRoute); }))
        return;
    std::map<UInt32, CMapObject*> byID;
    for (CMapObject* object : loaded)
        byID.emplace(object->GetID(), object);
    for (CMapObject* object : mObjects)
        if (object->IsType(kMapObjectRoute))
            static_cast<CMapRoute*>(object)->ResolveWaypoints(byID);
}

// What the file held that could not be shown, said once its window is up.
void CWindowDocument::ReportLoad()
{
    LoadReport const report = mLoadReport;
    if (!report.unknownFormat && !report.noObjects && report.unknownObjects == 0 && report.damagedObjects == 0)
        return;
    CString major;
    major.Format(CTextUtilities::GetBundleString("DocLoadIncomplete").GetUTF8(), GetDisplayName().GetUTF8());
    auto const addLine = [&major](char const* key, UInt32 count) {
        CString line;
        line.Format(CTextUtilities::GetBundleString(key).GetUTF8(), unsigned(count));
        major += CString(" ") + line;
    };
    if (report.unknownFormat)
        addLine("DocLoadUnknownFormat", 0);
    if (report.noObjects)
        addLine("DocLoadNoObjects", 0);
    if (report.unknownObjects > 0)
        addLine("DocLoadUnknownObjects", report.unknownObjects);
    if (report.damagedObjects > 0)
        addLine("DocLoadDamagedObjects", report.damagedObjects);
    CString kept;
    if (!mUnreadObjects.empty())
        kept = CTextUtilities::GetBundleString("DocLoadKept");
    else if (!mUnreadKeys.empty())
        kept = CTextUtilities::GetBundleString("DocLoadKeptOther");
    DisplayAlert(major, kept);
}
