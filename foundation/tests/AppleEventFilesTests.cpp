#include "foundation/CFileUtilities.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

namespace {

CFile FileAt(std::filesystem::path const& path) { return CFile(CString(path.c_str())); }

} // namespace

TEST(CFileUtilities, FilesOfAnAppleEventListInOrderWhateverTheirForm)
{
    tw::test::TempFolder folder;
    for (char const* name : { "a.gpx", "b c.loc", "d.twk", "e.twk" })
        tw::test::WriteFile(folder / name, "x");

    AEDescList list;
    ASSERT_EQ(AECreateList(nullptr, 0, false, &list), noErr);
    FSRef ref;
    ASSERT_EQ(FileAt(folder / "a.gpx").GetFSRef(ref), noErr);
    AEPutPtr(&list, 0, typeFSRef, &ref, sizeof ref);
    AEDesc url;
    ASSERT_EQ(CFileUtilities::GetAEDescFromFile(FileAt(folder / "b c.loc"), &url), noErr);
    EXPECT_EQ(url.descriptorType, DescType(typeFileURL));
    AEPutDesc(&list, 0, &url);
    AEDisposeDesc(&url);
    AliasHandle alias = FileAt(folder / "d.twk").CreateAlias(nullptr);
    ASSERT_NE(alias, nullptr);
    Handle aliasBytes = reinterpret_cast<Handle>(alias);
    AEPutPtr(&list, 0, typeAlias, *aliasBytes, GetHandleSize(aliasBytes));
    DisposeHandle(aliasBytes);
    std::string path = (folder / "e.twk").string();
    AEPutPtr(&list, 0, typeUTF8Text, path.data(), Size(path.size()));

    CFileList files;
    ASSERT_EQ(CFileUtilities::GetAEDescListFiles(&list, files), noErr);
    ASSERT_EQ(files.GetCount(), 4u);
    EXPECT_EQ(files.GetAt(0), FileAt(folder / "a.gpx"));
    EXPECT_EQ(files.GetAt(1), FileAt(folder / "b c.loc"));
    EXPECT_EQ(files.GetAt(2), FileAt(folder / "d.twk"));
    EXPECT_EQ(files.GetAt(3), FileAt(folder / "e.twk"));

    CFile first;
    ASSERT_EQ(CFileUtilities::GetAEDescFile(&list, first), noErr);
    EXPECT_EQ(first, FileAt(folder / "a.gpx"));

    // An item that names no file fails the whole list and adds nothing.
    SInt32 number = 7;
    AEPutPtr(&list, 0, typeSInt32, &number, sizeof number);
    CFileList unchanged;
    EXPECT_EQ(CFileUtilities::GetAEDescListFiles(&list, unchanged), errAEWrongDataType);
    EXPECT_TRUE(unchanged.IsEmpty());
    AEDisposeDesc(&list);

    AEDesc web;
    AECreateDesc(typeFileURL, "http://example.com/x", 20, &web);
    CFile none;
    EXPECT_EQ(CFileUtilities::GetAEDescFile(&web, none), errAEWrongDataType);
    AEDisposeDesc(&web);
}
