#include "foundation/CFArray.h"
#include "foundation/CFDictionary.h"
#include "foundation/CFPropertyList.h"
#include "foundation/Status.h"
#include "tests/support/TestSupport.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>

namespace {

CFDictionary MakeDocument()
{
    CFDictionary waypoint;
    waypoint.SetValueOSType("Type", 'wayp');
    waypoint.SetValueString("Name", "Café");
    waypoint.SetValueUInt32("ID", 3000000000u);
    waypoint.SetValueFloat32("LineWidth", 1.5f);
    waypoint.SetValueColour("ColourFill", ColourRGBA { 1, 0, 0.5f, 1 });
    CFArray objects;
    objects.AppendValueDictionary(waypoint);
    objects.AppendValueString("loose text");

    CFDictionary document;
    document.SetValueUInt32("Format", 1);
    document.SetValueArray("Objects", objects);
    document.SetValueRect("WindowBounds", CGRectMake(10, 20, 640.5, 480));
    document.SetValueFloat64("SplitterRatio", 0.3);
    document.SetValueBoolean("Visible", true);
    return document;
}

} // namespace

TEST(CFDictionary, TypedValuesAndEmptyDefaults)
{
    CFDictionary document = MakeDocument();
    EXPECT_TRUE(document.HasKey("Objects"));
    EXPECT_FALSE(document.HasKey("Author"));
    EXPECT_TRUE(document.GetValueString("Author").IsEmpty());
    EXPECT_EQ(document.GetValueUInt32("Author"), 0u);
    EXPECT_EQ(document.GetValueFloat32("Author"), 0.0f);
    EXPECT_EQ(document.GetValueArray("Format").GetCount(), 0u); // another type reads empty
    CGRect bounds = document.GetValueRect("WindowBounds");
    EXPECT_DOUBLE_EQ(bounds.size.width, 640.5);
    EXPECT_DOUBLE_EQ(bounds.origin.y, 20);
    EXPECT_TRUE(CGRectEqualToRect(document.GetValueRect("Format"), CGRectZero));
    EXPECT_TRUE(document.GetValueBoolean("Visible"));

    CFArray objects = document.GetValueArray("Objects");
    ASSERT_EQ(objects.GetCount(), 2u);
    CFDictionary waypoint = objects.GetValueDictionary(0);
    EXPECT_EQ(waypoint.GetValueOSType("Type"), OSType('wayp'));
    EXPECT_EQ(waypoint.GetValueUInt32("ID"), 3000000000u);
    EXPECT_STREQ(objects.GetValueString(1).GetUTF8(), "loose text");
    EXPECT_EQ(objects.GetValueDictionary(1).GetCount(), 0u);
    EXPECT_TRUE(objects.GetValueString(7).IsEmpty());

    document.Clear();
    EXPECT_EQ(document.GetCount(), 0u);
}

TEST(CFDictionary, CopiesNeverShareChanges)
{
    CFDictionary inner;
    inner.SetValueString("Name", "first");
    CFDictionary outer;
    outer.SetValueDictionary("Inner", inner);
    inner.SetValueString("Name", "changed later");
    EXPECT_STREQ(outer.GetValueDictionary("Inner").GetValueString("Name").GetUTF8(), "first");

    CFDictionary copy(outer);
    copy.SetValueString("Extra", "x");
    EXPECT_FALSE(outer.HasKey("Extra"));

    CString key("Key");
    outer.SetValueString(key, "v");
    key += CString("Changed");
    EXPECT_TRUE(outer.HasKey("Key"));
}

TEST(CFPropertyList, RoundTripsThroughAFileAnIndependentReaderAccepts)
{
    tw::test::TempFolder folder;
    CFile file(CString((folder / "Doc.twk").c_str()));
    CFPropertyList out;
    out.SetPropertyList(MakeDocument());
    ASSERT_EQ(out.Save(file), noErr);

    CFPropertyList in;
    ASSERT_EQ(in.Load(file), noErr);
    ASSERT_TRUE(in.IsValid());
    CFDictionary document(in.GetDictionary());
    EXPECT_EQ(document.GetValueUInt32("Format"), 1u);
    CFDictionary waypoint = document.GetValueArray("Objects").GetValueDictionary(0);
    EXPECT_STREQ(waypoint.GetValueString("Name").GetUTF8(), "Café");
    EXPECT_EQ(waypoint.GetValueColour("ColourFill", ColourRGBA {}), (ColourRGBA { 1, 0, 0.5f, 1 }));
    EXPECT_FLOAT_EQ(waypoint.GetValueFloat32("LineWidth"), 1.5f);

    std::string output;
    std::string command = "python3 -c \"import plistlib,sys; d=plistlib.load(open(sys.argv[1],'rb')); "
                          "print(d['Objects'][0]['Name'], d['Objects'][0]['ID'], d['Format'])\" '"
        + (folder / "Doc.twk").string() + "'";
    ASSERT_EQ(tw::test::RunCommand(command, &output), 0) << output;
    EXPECT_EQ(output, "Café 3000000000 1\n");
}

TEST(CFPropertyList, LoadingADamagedFileChangesNothing)
{
    tw::test::TempFolder folder;
    CFile good(CString((folder / "good.plist").c_str()));
    CFPropertyList list;
    list.SetPropertyList(MakeDocument());
    ASSERT_EQ(list.Save(good), noErr);
    std::string const text = tw::test::ReadFile(good.GetPath());

    std::string const damaged[] = { "", "garbage", text.substr(0, text.size() / 2),
        "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>a</key></dict></plist>",
        "<plist><integer>12x</integer></plist>" };
    for (std::string const& bytes : damaged) {
        tw::test::WriteFile(folder / "bad.plist", bytes);
        EXPECT_EQ(list.Load(CFile(CString((folder / "bad.plist").c_str()))), kNothingParseableErr) << bytes;
        ASSERT_TRUE(list.IsValid());
        EXPECT_EQ(CFDictionary(list.GetDictionary()).GetValueUInt32("Format"), 1u);
    }
    EXPECT_EQ(list.Load(CFile(CString((folder / "missing.plist").c_str()))), fnfErr);
    EXPECT_TRUE(list.IsValid());

    CFPropertyList empty;
    EXPECT_EQ(empty.Save(good), paramErr);
    EXPECT_EQ(tw::test::ReadFile(good.GetPath()), text); // the file is untouched
}

// A list written in pieces: one that fails after pieces are on their way leaves the old file.
TEST(CFPropertyList, ASaveThatFailsPartWayLeavesTheOldFileAndNoOther)
{
    tw::test::TempFolder folder;
    CFile file(CString((folder / "Doc.twk").c_str()));
    CFPropertyList list;
    list.SetPropertyList(MakeDocument());
    ASSERT_EQ(list.Save(file), noErr);
    std::string const before = tw::test::ReadFile(file.GetPath());

    CFDictionary large = MakeDocument();
    large.SetValueString("A", CString(std::string(8 << 20, 'x').c_str())); // written first: keys are sorted
    large.SetValueString("Z", "a control character \x01 no file can hold");
    list.SetPropertyList(large);
    EXPECT_EQ(list.Save(file), paramErr);
    EXPECT_EQ(tw::test::ReadFile(file.GetPath()), before);
    std::size_t files = 0;
    for ([[maybe_unused]] auto const& entry : std::filesystem::directory_iterator(folder.Path()))
        ++files;
    EXPECT_EQ(files, 1u) << "no half-written file is left beside it";
}
