#include "quartz/Quartz.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>
#include <string>

namespace {

CFURLRef FileURL(std::string const& path)
{
    return CFURLCreateFromFileSystemRepresentation(
        nullptr, reinterpret_cast<UInt8 const*>(path.c_str()), CFIndex(path.size()), false);
}

// The page count pdfinfo reports, or -1 when pdfinfo is not installed.
int PageCount(std::string const& path)
{
    std::string output;
    if (tw::test::RunCommand("pdfinfo '" + path + "' 2>/dev/null", &output) != 0)
        return -1;
    size_t const at = output.find("Pages:");
    return at == std::string::npos ? 0 : std::stoi(output.substr(at + 6));
}

std::string WritePages(tw::test::TempFolder const& folder, int pages)
{
    std::string const path = (folder / "out.pdf").string();
    CFURLRef url = FileURL(path);
    CGRect const a4 = CGRectMake(0, 0, 595, 842);
    CGContextRef c = CGPDFContextCreateWithURL(url, &a4, nullptr);
    CFRelease(url);
    EXPECT_NE(c, nullptr);
    for (int i = 0; i < pages; ++i) {
        CGContextBeginPage(c, nullptr);
        CGContextSetRGBFillColor(c, 1, 0, 0, 1);
        CGContextFillRect(c, CGRectMake(72, 72, 100, 100));
        CGContextEndPage(c);
    }
    CGPDFContextClose(c);
    CGContextFillRect(c, CGRectMake(0, 0, 10, 10)); // after closing: nothing happens
    CGContextRelease(c);
    return path;
}

} // namespace

TEST(CGPDFContext, WritesOnePagePerBeginAndEnd)
{
    tw::test::TempFolder folder;
    std::string const path = WritePages(folder, 1);
    std::string const bytes = tw::test::ReadFile(path);
    ASSERT_GE(bytes.size(), 5u);
    EXPECT_EQ(bytes.substr(0, 5), "%PDF-");
    int const pages = PageCount(path);
    if (pages >= 0) {
        EXPECT_EQ(pages, 1);
    }
}

TEST(CGPDFContext, SeveralPagesAndTheirSize)
{
    tw::test::TempFolder folder;
    std::string const path = WritePages(folder, 3);
    std::string output;
    if (tw::test::RunCommand("pdfinfo '" + path + "' 2>/dev/null", &output) != 0)
        GTEST_SKIP() << "pdfinfo is not installed";
    EXPECT_EQ(PageCount(path), 3);
    EXPECT_NE(output.find("595 x 842"), std::string::npos) << output;
}

TEST(CGPDFContext, AnUnwritablePlaceGivesNull)
{
    CFURLRef url = FileURL("/nonexistent-folder/out.pdf");
    EXPECT_EQ(CGPDFContextCreateWithURL(url, nullptr, nullptr), nullptr);
    CGRect const tiny = CGRectMake(0, 0, 0, 10);
    tw::test::TempFolder folder;
    CFURLRef good = FileURL((folder / "x.pdf").string());
    EXPECT_EQ(CGPDFContextCreateWithURL(good, &tiny, nullptr), nullptr);
    CFRelease(good);
    CFRelease(url);
}
