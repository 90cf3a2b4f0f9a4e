#include "SheetTest.h"
#include "foundation/CTextUtilities.h"
#include "quartz/HITheme.h"

#include <cmath>

namespace tw::test {
namespace {

    using SheetLayout = SheetTest;

    struct Placed {
        toolbox::View* view;
        CGRect frame; // in the content view
        OSType kind;
        std::string title;
    };

    OSType KindOf(toolbox::View* view)
    {
        ControlKind kind {};
        GetControlKind(view, &kind);
        return kind.kind;
    }

    UInt16 FontOf(toolbox::View* view)
    {
        UInt16 font = kThemeSystemFont;
        view->GetProperty('twnb', 'font', sizeof font, nullptr, &font);
        return font;
    }

    CGFloat TextWidth(CFStringRef text, UInt16 font)
    {
        HIThemeTextInfo info {};
        info.fontID = font;
        CGFloat width = 0, height = 0;
        HIThemeGetTextDimensions(text, 0, &info, &width, &height, nullptr);
        return std::ceil(width);
    }

    void Collect(toolbox::View* view, CGPoint origin, std::vector<Placed>& out)
    {
        for (toolbox::View* child : view->GetChildren()) {
            CGRect frame = child->GetFrame();
            frame.origin.x += origin.x;
            frame.origin.y += origin.y;
            out.push_back({ child, frame, KindOf(child), cf::ToUTF8(child->GetTitle()) });
            Collect(child, frame.origin, out);
        }
    }

    // Every control lies inside the window, no two overlap, every title fits its control,
    // every label ("Name:") has a field or value to its right on the same line, and the
    // fields beside labels start in one column.
    TEST_F(SheetLayout, EverySheetShowsItsTextsWholeWithLabelsBesideTheirFields)
    {
        for (char const* name : { "Document Info", "Note Editor", "Route Editor", "Track Editor", "Waypoint Editor",
                 "View Location", "Route Waypoints" }) {
            SCOPED_TRACE(name);
            CMacWindow window { CString("Tarnwick"), CString(name) };
            ASSERT_NE(window.GetWindowRef(), nullptr);
            toolbox::View* content = window.GetWindowRef()->GetContentView();
            CGRect const bounds = content->GetBounds();
            std::vector<Placed> views;
            Collect(content, {}, views);
            ASSERT_FALSE(views.empty());
            for (std::size_t i = 0; i < views.size(); ++i) {
                Placed const& a = views[i];
                SCOPED_TRACE(a.title);
                EXPECT_TRUE(CGRectContainsRect(CGRectInset(bounds, 10, 10), a.frame)) << "too near the edge or outside";
                for (std::size_t j = i + 1; j < views.size(); ++j)
                    EXPECT_FALSE(CGRectIntersectsRect(a.frame, views[j].frame)) << "overlaps " << views[j].title;
                if (a.title.empty())
                    continue;
                CGFloat const width = TextWidth(a.view->GetTitle(), FontOf(a.view));
                if (a.kind == 'stxt') {
                    EXPECT_LE(width, a.frame.size.width);
                } else if (a.kind == 'push') {
                    EXPECT_LE(width + 16, a.frame.size.width);
                }
                if (a.kind != 'stxt' || a.title.back() != ':')
                    continue;
                bool beside = false;
                for (Placed const& field : views)
                    beside = beside
                        || ((field.kind != 'stxt' || field.title.empty())
                            && field.frame.origin.x >= CGRectGetMaxX(a.frame)
                            && std::abs(field.frame.origin.y + std::min<CGFloat>(field.frame.size.height, 26) / 2
                                   - CGRectGetMidY(a.frame))
                                <= 3);
                // A label above a list names the list below it instead.
                for (Placed const& list : views)
                    beside = beside
                        || (list.kind == 'datb' && list.frame.origin.x == a.frame.origin.x
                            && list.frame.origin.y - CGRectGetMaxY(a.frame) <= 6
                            && list.frame.origin.y >= CGRectGetMaxY(a.frame));
                EXPECT_TRUE(beside) << "a label with no field beside it";
            }
            // Every field of the label column starts at the same place.
            std::vector<CGFloat> fieldColumn;
            for (Placed const& a : views)
                if (a.kind == 'eutx' && a.frame.origin.x > 20)
                    fieldColumn.push_back(a.frame.origin.x);
            for (CGFloat x : fieldColumn)
                EXPECT_EQ(x, fieldColumn.front());
        }
    }

    // The progress sheets' texts are set as they run: the longest the program puts there shows whole.
    TEST_F(SheetLayout, ProgressSheetsShowTheirWholeText)
    {
        for (auto const& [name, key] : { std::pair { "Track Progress", "DocTrackProgress" },
                 std::pair { "Transfer Progress", "DocTransferProgress" } }) {
            SCOPED_TRACE(name);
            CMacWindow window { CString("Tarnwick"), CString(name) };
            ASSERT_NE(window.GetWindowRef(), nullptr);
            ControlID const id { 'text', 0 };
            ControlRef text = nullptr;
            ASSERT_EQ(GetControlByID(window.GetWindowRef(), &id, &text), noErr);
            HIRect frame {};
            HIViewGetFrame(text, &frame);
            HIThemeTextInfo info {};
            info.fontID = FontOf(text);
            CGFloat width = 0, height = 0;
            HIThemeGetTextDimensions(
                CTextUtilities::GetBundleString(key).GetCFString(), frame.size.width, &info, &width, &height, nullptr);
            EXPECT_LE(height, frame.size.height) << "lines cut off below the text's frame";
        }
    }

} // namespace
} // namespace tw::test
