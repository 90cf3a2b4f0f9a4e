#include "foundation/CFArray.h"
#include "foundation/CFPropertyList.h"
#include "foundation/CMsgListener.h"
#include "model/CDocumentInfo.h"
#include "model/CMapCircle.h"
#include "model/CMapCrop.h"
#include "model/CMapLine.h"
#include "model/CMapNote.h"
#include "model/CMapRectangle.h"
#include "model/tests/ModelTestSupport.h"

#include <gtest/gtest.h>

using namespace tw::test;

namespace {

// Records every message with its parameter.
class Recorder : public CMsgListener {
public:
    struct Message {
        UInt32 code;
        void* parameter;
    };
    std::vector<Message> mMessages;

    void DoMessage(UInt32 message, void* parameter) override { mMessages.push_back({ message, parameter }); }
    std::size_t Count(UInt32 code) const
    {
        return std::size_t(std::count_if(
            mMessages.begin(), mMessages.end(), [code](Message const& message) { return message.code == code; }));
    }
};

MapObjectStyle TestStyle(MapObjectType type)
{
    MapObjectStyle style;
    style.lineWidth = type == kMapObjectLine ? 7 : 2;
    style.lineStyle = kMapLineDashed;
    style.fill = { 0.25f, 0.5f, 0.75f, 1 };
    return style;
}

// Encodes, writes and reads back through a property list file, as a document does.
CFDictionary RoundTrip(CMapObject const& object)
{
    CFDictionary properties;
    EXPECT_EQ(object.EncodeProperties(properties), noErr);
    TempFolder folder;
    CFile file = FileOf(folder / "object.plist");
    CFPropertyList list;
    list.SetPropertyList(properties.GetCFDictionary());
    EXPECT_EQ(list.Save(file), noErr);
    CFPropertyList loaded;
    EXPECT_EQ(loaded.Load(file), noErr);
    return CFDictionary(loaded.GetDictionary());
}

} // namespace

TEST(CMapObject, SettersBroadcastModifiedOnlyWhenTheValueChanges)
{
    CMapNote note;
    Recorder recorder;
    note.AddListener(&recorder);
    note.SetName("Camp");
    note.SetName("Camp");
    note.SetDescription("By the lake");
    note.SetURL("https://example.org");
    note.SetID(4);
    note.SetStyle(TestStyle(kMapObjectNote));
    note.SetStyle(TestStyle(kMapObjectNote));
    note.SetPosition(CCoordinate(1, 2));
    EXPECT_EQ(recorder.Count(kMsgMapObjectModified), 6u);
    ASSERT_FALSE(recorder.mMessages.empty());
    EXPECT_EQ(recorder.mMessages.back().parameter, &note);

    // Attributes: (old | set) & ~clear; the selected bit is bit 0.
    note.SetAttributes(kMapObjectAttrSelected | kMapObjectAttrHalo, 0);
    EXPECT_TRUE(note.IsSelected());
    note.SetAttributes(kMapObjectAttrTemporary, kMapObjectAttrHalo | kMapObjectAttrSelected);
    EXPECT_EQ(note.GetAttributes(), UInt32(kMapObjectAttrTemporary));
    note.SetAttributes(0, kMapObjectAttrLarge); // nothing changes
    EXPECT_EQ(recorder.Count(kMsgMapObjectModified), 8u);
}

TEST(CMapObject, NewObjectsTakeTheirStyleFromTheInstalledHook)
{
    EXPECT_EQ(CMapCircle().GetStyle(), MapObjectStyle()); // the built-in default
    EXPECT_EQ(MapObjectStyle().lineStyle, kMapLineSolid);
    CMapObject::SetDefaultStyleHook(TestStyle);
    EXPECT_EQ(CMapLine().GetStyle().lineWidth, 7);
    EXPECT_EQ(CMapWaypoint().GetStyle().lineWidth, 2);
    CMapObject::SetDefaultStyleHook(nullptr);
    EXPECT_EQ(CMapLine().GetStyle(), MapObjectStyle());
}

TEST(CMapWaypoint, StartsWithTheDefaultCodesAndAnnouncesMoves)
{
    auto waypoint = std::make_unique<CMapWaypoint>();
    EXPECT_EQ(waypoint->GetSymbol(), GPSWaypointSymbol('wayp'));
    EXPECT_EQ(waypoint->GetClass(), GPSWaypointClass('cusr'));
    EXPECT_EQ(waypoint->GetColour(), GPSWaypointColour('cdef'));
    EXPECT_EQ(waypoint->GetOptions(), GPSWaypointOptions('snam'));
    EXPECT_TRUE(waypoint->IsType(kMapObjectWaypoint));

    Recorder recorder;
    waypoint->AddListener(&recorder);
    waypoint->SetPosition(CCoordinate(57.7, 11.9));
    waypoint->SetPosition(CCoordinate(57.7, 11.9));
    waypoint->SetSymbol('fblu');
    waypoint->SetProximity(-5); // refused
    waypoint->SetProximity(50);
    ASSERT_EQ(recorder.mMessages.size(), 4u);
    EXPECT_EQ(recorder.mMessages[0].code, kMsgMapObjectModified);
    EXPECT_EQ(recorder.mMessages[1].code, kMsgWaypointMoved);
    EXPECT_DOUBLE_EQ(waypoint->GetProximity(), 50);

    CMapWaypoint* address = waypoint.get();
    waypoint.reset();
    ASSERT_GE(recorder.mMessages.size(), 5u);
    EXPECT_EQ(recorder.mMessages[4].code, kMsgWaypointRemoved);
    EXPECT_EQ(recorder.mMessages[4].parameter, address);
}

TEST(CMapObject, EveryKindReadsBackWhatItWrote)
{
    CMapObject::SetDefaultStyleHook(TestStyle);
    CMapWaypoint waypoint;
    waypoint.SetName("Ålesund – café");
    waypoint.SetDescription("Line one\nLine two");
    waypoint.SetURL("https://example.org/a?b=c&d");
    waypoint.SetPosition(CCoordinate(62.4722222, 6.1494444, 12.25));
    waypoint.SetProximity(75.5);
    waypoint.SetSymbol('geoc');
    waypoint.SetOptions(kWaypointShowComment);
    waypoint.SetID(3);
    CMapObject::SetDefaultStyleHook(nullptr);

    CMapWaypoint copy;
    ASSERT_EQ(copy.DecodeProperties(RoundTrip(waypoint)), noErr);
    EXPECT_EQ(copy.GetName(), waypoint.GetName());
    EXPECT_EQ(copy.GetDescription(), waypoint.GetDescription());
    EXPECT_EQ(copy.GetURL(), waypoint.GetURL());
    EXPECT_EQ(copy.GetID(), 3u);
    EXPECT_DOUBLE_EQ(copy.GetPosition().GetLatitude(), 62.4722222); // exactly, not to six places
    EXPECT_DOUBLE_EQ(copy.GetPosition().GetAltitude(), 12.25);
    EXPECT_DOUBLE_EQ(copy.GetProximity(), 75.5);
    EXPECT_EQ(copy.GetSymbol(), GPSWaypointSymbol('geoc'));
    EXPECT_EQ(copy.GetOptions(), kWaypointShowComment);
    EXPECT_EQ(copy.GetStyle(), waypoint.GetStyle());

    CMapLine line;
    line.SetStart(CCoordinate(-45.5, 170.25));
    line.SetEnd(CCoordinate(-46, 171));
    CMapLine lineCopy;
    ASSERT_EQ(lineCopy.DecodeProperties(RoundTrip(line)), noErr);
    EXPECT_EQ(lineCopy.GetStart(), line.GetStart());
    EXPECT_EQ(lineCopy.GetEnd(), line.GetEnd());

    CMapCrop crop;
    crop.SetBounds(CCoordinateRect(CCoordinate(10, -20), CCoordinate(5, -10)));
    CMapCrop cropCopy;
    ASSERT_EQ(cropCopy.DecodeProperties(RoundTrip(crop)), noErr);
    EXPECT_EQ(cropCopy.GetBounds().GetTopLeft(), crop.GetBounds().GetTopLeft());
    EXPECT_EQ(cropCopy.GetBounds().GetBottomRight(), crop.GetBounds().GetBottomRight());
    // A circle does not read a crop area's dictionary.
    EXPECT_EQ(CMapCircle().DecodeProperties(RoundTrip(crop)), paramErr);
}

TEST(CMapObject, ReadsTypeCodesWrittenInEitherByteOrder)
{
    CFDictionary properties;
    properties.SetValueString(CMapObject::kKeyType, "eton"); // 'note' written little-endian
    EXPECT_EQ(CMapObject::GetEncodedType(properties), kMapObjectNote);
    properties.SetValueUInt32(CMapObject::kKeyType, __builtin_bswap32(kMapObjectRoute));
    EXPECT_EQ(CMapObject::GetEncodedType(properties), kMapObjectRoute);
    properties.SetValueUInt32(CMapObject::kKeyType, kMapObjectTrack);
    EXPECT_EQ(CMapObject::GetEncodedType(properties), kMapObjectTrack);
    properties.SetValueString(CMapObject::kKeyType, "zzzz");
    EXPECT_EQ(CMapObject::GetEncodedType(properties), MapObjectType('zzzz')); // unknown, skipped by documents
    properties.RemoveValue(CMapObject::kKeyType);
    EXPECT_EQ(CMapObject::GetEncodedType(properties), 0u);

    // Waypoint codes too.
    CFDictionary waypoint;
    waypoint.SetValueString(CMapObject::kKeyType, "pyaw");
    waypoint.SetValueString(CMapWaypoint::kKeyPosition, "{1, 2, 3}");
    waypoint.SetValueString(CMapWaypoint::kKeySymbol, "ulbf");
    waypoint.SetValueString(CMapWaypoint::kKeyOptions, "bmys");
    waypoint.SetValueString(CMapObject::kKeyLineStyle, "hsad");
    CMapWaypoint read;
    ASSERT_EQ(read.DecodeProperties(waypoint), noErr);
    EXPECT_EQ(read.GetSymbol(), GPSWaypointSymbol('fblu'));
    EXPECT_EQ(read.GetOptions(), kWaypointShowSymbol);
    EXPECT_EQ(read.GetStyle().lineStyle, kMapLineDashed);
}

// Every damaged dictionary answers a status; values the object can do without keep defaults.
TEST(CMapObject, DamagedDictionariesFailOrKeepDefaults)
{
    struct Case {
        char const* key;
        char const* value;
    };
    Case const refused[] = {
        { CMapWaypoint::kKeyPosition, "" },
        { CMapWaypoint::kKeyPosition, "{91, 0, 0}" },
        { CMapWaypoint::kKeyPosition, "{0, 180.5}" },
        { CMapWaypoint::kKeyPosition, "{nan, 0, 0}" },
        { CMapWaypoint::kKeyPosition, "{1e999, 0, 0}" },
        { CMapWaypoint::kKeyPosition, "{1, 2, 3, 4}" },
        { CMapWaypoint::kKeyPosition, "1, 2, 3" },
        { CMapWaypoint::kKeyPosition, "{1, 2, 3} trailing" },
    };
    for (Case const& test : refused) {
        CFDictionary properties;
        properties.SetValueOSType(CMapObject::kKeyType, kMapObjectWaypoint);
        properties.SetValueString(test.key, test.value);
        CMapWaypoint waypoint;
        EXPECT_EQ(waypoint.DecodeProperties(properties), paramErr) << test.value;
    }

    CFDictionary odd;
    odd.SetValueOSType(CMapObject::kKeyType, kMapObjectWaypoint);
    odd.SetValueString(CMapWaypoint::kKeyPosition, "{1, 2}");
    odd.SetValueString(CMapWaypoint::kKeyProximity, "-40");
    odd.SetValueString(CMapObject::kKeyLineWidth, "1e30");
    odd.SetValueString(CMapObject::kKeyColourFill, "red");
    odd.SetValueUInt32(CMapObject::kKeyName, 12); // a number where a text belongs
    CMapWaypoint waypoint;
    ASSERT_EQ(waypoint.DecodeProperties(odd), noErr);
    EXPECT_DOUBLE_EQ(waypoint.GetProximity(), 0);
    EXPECT_EQ(waypoint.GetStyle(), MapObjectStyle());
    EXPECT_TRUE(waypoint.GetName().IsEmpty());

    CFDictionary shape;
    shape.SetValueOSType(CMapObject::kKeyType, kMapObjectRectangle);
    for (char const* bounds : { "", "{1, 2, 3}", "{10, 20, 30, 40}", "{10, 40, 5, 20}", "{95, 0, 0, 1}" }) {
        shape.SetValueString(CMapShape::kKeyBounds, bounds);
        EXPECT_EQ(CMapRectangle().DecodeProperties(shape), paramErr) << bounds;
    }
    CFDictionary line;
    line.SetValueOSType(CMapObject::kKeyType, kMapObjectLine);
    line.SetValueString(CMapLine::kKeyStart, "{1, 2}");
    EXPECT_EQ(CMapLine().DecodeProperties(line), paramErr); // no end
}

TEST(CDocumentInfo, StoresAuthorAndDescription)
{
    CDocumentInfo info;
    info.SetAuthor("Åsa Öberg");
    info.SetDescription("Summer trip");
    CFDictionary properties;
    ASSERT_EQ(info.EncodeProperties(properties), noErr);
    CDocumentInfo copy = info;
    CDocumentInfo read;
    ASSERT_EQ(read.DecodeProperties(properties), noErr);
    EXPECT_EQ(read.GetAuthor(), copy.GetAuthor());
    EXPECT_EQ(read.GetDescription(), CString("Summer trip"));
    CDocumentInfo empty;
    ASSERT_EQ(empty.DecodeProperties(CFDictionary()), noErr);
    EXPECT_TRUE(empty.GetAuthor().IsEmpty());
}
