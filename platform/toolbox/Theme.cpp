#include "toolbox/Theme.h"

#include "corefoundation/CFString.h"
#include "quartz/CGImage.h"
#include "quartz/HITheme.h"
#include "quartz/HIViewDrawing.h"
#include "toolbox/Menu.h"
#include "toolbox/MenuBar.h"
#include "toolbox/ModalLoop.h"
#include "toolbox/ObjectClass.h"
#include "toolbox/ScreenSink.h"
#include "toolbox/Sound.h"
#include "toolbox/View.h"
#include "toolbox/Window.h"
#include "toolbox/controls/ControlTheme.h"

#include <algorithm>
#include <cmath>

namespace tw::toolbox {

namespace {

    void Fill(CGContextRef c, CGRect r, double grey, double alpha = 1)
    {
        CGContextSetGrayFillColor(c, grey, alpha);
        CGContextFillRect(c, r);
    }

    void Stroke(CGContextRef c, CGRect r, double grey)
    {
        CGContextSetGrayStrokeColor(c, grey, 1);
        CGContextSetLineWidth(c, 1);
        CGContextStrokeRect(c, CGRectInset(r, 0.5, 0.5));
    }

    void Circle(CGContextRef c, CGRect r, double red, double green, double blue)
    {
        CGContextSetRGBFillColor(c, red, green, blue, 1);
        CGContextFillEllipseInRect(c, r);
        CGContextSetRGBStrokeColor(c, red * 0.7, green * 0.7, blue * 0.7, 1);
        CGContextSetLineWidth(c, 1);
        CGContextStrokeEllipseInRect(c, CGRectInset(r, 0.5, 0.5));
    }

    // The key equivalent as Linux users read it: Ctrl is the Command key, Alt the
    // Option key, Super the Control key. Empty for items without one.
    std::string KeyEquivalentText(MenuItem const& item)
    {
        if (item.submenu)
            return "\u25B8";
        if (item.key == 0)
            return {};
        std::string key;
        if (item.modifiers & kMenuControlModifier)
            key += "Super+";
        if (item.modifiers & kMenuOptionModifier)
            key += "Alt+";
        if (item.modifiers & kMenuShiftModifier)
            key += "Shift+";
        if (!(item.modifiers & kMenuNoCommandModifier))
            key += "Ctrl+";
        key += static_cast<char>(std::toupper(item.key & 0x7F));
        return key;
    }

    CGFloat KeyEquivalentWidth(MenuItem const& item)
    {
        std::string const key = KeyEquivalentText(item);
        if (key.empty())
            return 0;
        CFStringRef text = CFStringCreateWithCString(nullptr, key.c_str(), kCFStringEncodingUTF8);
        CGFloat const width = Theme::TextWidth(text, kThemeSmallSystemFont);
        CFRelease(text);
        return width;
    }

    CFStringRef ItemText(MenuItem const& item)
    {
        static CFStringRef const empty = CFSTR("");
        return item.text ? item.text : empty;
    }

    void DrawButton(CGContextRef c, View* view, CGRect b)
    {
        bool const pressed = view->GetHilite() != 0;
        controls::ControlTheme::RoundedRectPath(c, CGRectInset(b, 0.5, 0.5), 5);
        CGContextSetGrayFillColor(c, pressed ? 0.72 : 0.98, 1);
        CGContextSetGrayStrokeColor(c, 0.55, 1);
        CGContextDrawPath(c, kCGPathFillStroke);
        if (view->GetTitle())
            Theme::DrawText(
                c, view->GetTitle(), CGRectInset(b, 4, 0), kThemeSystemFont, 1, view->IsEnabled() ? 0.1 : 0.6);
    }

    void DrawCheckBox(CGContextRef c, View* view, CGRect b)
    {
        CGRect const box { { b.origin.x + 1, b.origin.y + std::floor((b.size.height - 12) / 2) }, { 12, 12 } };
        Fill(c, box, 1);
        Stroke(c, box, 0.5);
        if (view->Values().value != 0)
            Fill(c, CGRectInset(box, 3, 3), 0.2);
        if (view->GetTitle())
            Theme::DrawText(c, view->GetTitle(),
                { { b.origin.x + 18, b.origin.y }, { b.size.width - 18, b.size.height } }, kThemeSystemFont, 0, 0.1);
    }

} // namespace

OSStatus Theme::DrawView(CGContextRef c, View* view)
{
    ObjectClass const* cls = view->GetClass();
    CGRect const b = view->GetBounds();
    if (cls->IsA("com.apple.HIRootView")) {
        if (view->GetWindow())
            DrawWindowFrame(c, view->GetWindow());
    } else if (cls->IsA("com.apple.HIContentView")) {
        if (view->GetWindow())
            DrawWindowBackground(c, view->GetWindow(), b);
    } else if (cls->IsA("com.apple.HIPushButton") || cls->IsA("com.apple.HIBevelButton")
        || cls->IsA("com.apple.HIPopupButton") || cls->IsA("com.apple.HISegmentedView")) {
        DrawButton(c, view, b);
    } else if (cls->IsA("com.apple.HICheckBox") || cls->IsA("com.apple.HIRadioGroup")) {
        DrawCheckBox(c, view, b);
    } else if (cls->IsA("com.apple.HIStaticTextView")) {
        if (view->GetTitle())
            DrawText(c, view->GetTitle(), b, kThemeSystemFont, 0, view->IsEnabled() ? 0.1 : 0.6);
    } else if (cls->IsA("com.apple.HITextField") || cls->IsA("com.apple.hieditunicodetext")
        || cls->IsA("com.apple.HISearchField")) {
        Fill(c, b, 1);
        Stroke(c, b, 0.6);
        if (view->GetTitle())
            DrawText(c, view->GetTitle(), CGRectInset(b, 4, 2), kThemeSystemFont, 0, 0.1);
    } else if (cls->IsA("com.apple.HIGroupBox")) {
        controls::ControlTheme::RoundedRectPath(c, CGRectInset(b, 0.5, 8.5), 4);
        CGContextSetGrayStrokeColor(c, 0.7, 1);
        CGContextStrokePath(c);
        if (view->GetTitle())
            DrawText(c, view->GetTitle(), { { b.origin.x + 10, b.origin.y }, { b.size.width - 20, 16 } },
                kThemeSmallSystemFont, 0, 0.2);
    } else if (cls->IsA("com.apple.HIProgressBar") || cls->IsA("com.apple.HISlider")) {
        ControlValues const& v = view->Values();
        double const span = std::max(1, v.maximum - v.minimum);
        CGRect track = CGRectInset(b, 1, std::max(0.0, (b.size.height - 8) / 2));
        Fill(c, track, 0.85);
        track.size.width *= std::clamp((v.value - v.minimum) / span, 0.0, 1.0);
        CGContextSetRGBFillColor(c, 0.25, 0.5, 0.85, 1);
        CGContextFillRect(c, track);
    }
    return noErr;
}

void Theme::DrawWindowFrame(CGContextRef c, Window* window)
{
    CGSize const size = window->GetStructure().size;
    CGRect const all { { 0, 0 }, size };
    double const title = window->GetTitleBarHeight();
    bool const active = window->IsActive();
    Fill(c, all, 0.93);
    if (title > 0) {
        Fill(c, { { 0, 0 }, { size.width, title } }, active ? 0.84 : 0.91);
        Fill(c, { { 0, title - 1 }, { size.width, 1 } }, 0.66);
        if (window->GetTitle()) {
            CFStringRef const shown = cf::CreateString(window->GetShownTitle().c_str());
            DrawText(c, shown, { { 70, 0 }, { std::max(0.0, size.width - 140), title } },
                title < 22 ? kThemeSmallSystemFont : kThemeSystemFont, 1, active ? 0.1 : 0.5);
            CFRelease(shown);
        }
        struct Box {
            WindowRegionCode region;
            double r, g, b;
        };
        for (Box const& box : { Box { kWindowCloseBoxRgn, 0.93, 0.37, 0.33 },
                 Box { kWindowCollapseBoxRgn, 0.96, 0.74, 0.25 }, Box { kWindowZoomBoxRgn, 0.38, 0.77, 0.35 } }) {
            CGRect const r = window->GetPartRect(box.region);
            if (!CGRectIsEmpty(r))
                active ? Circle(c, r, box.r, box.g, box.b) : Circle(c, r, 0.8, 0.8, 0.8);
        }
    }
    Stroke(c, all, window->GetWindowClass() == kSheetWindowClass ? 0.55 : 0.62);
}

void Theme::DrawWindowBackground(CGContextRef c, Window* window, CGRect rect)
{
    switch (window->GetWindowClass()) {
    case kSheetWindowClass:
    case kSheetAlertWindowClass:
        Fill(c, rect, 0.97);
        break;
    case kHelpWindowClass:
        CGContextSetRGBFillColor(c, 1, 1, 0.82, 1);
        CGContextFillRect(c, rect);
        break;
    case kOverlayWindowClass:
        break;
    default:
        Fill(c, rect, 0.93);
    }
    // The window's outline runs along the content's outer edges.
    Stroke(c, { { 0, window->GetTitleBarHeight() > 0 ? -1.0 : 0.0 }, window->GetContent().size },
        window->GetWindowClass() == kSheetWindowClass ? 0.55 : 0.62);
    CGRect const grow = window->GetPartRect(kWindowGrowRgn);
    if (!CGRectIsEmpty(grow)) {
        CGRect const inContent = CGRectOffset(grow, 0, -window->GetContentTop());
        CGContextSetGrayStrokeColor(c, 0.6, 1);
        for (int i = 1; i <= 3; ++i) {
            CGPoint const line[2] = { { CGRectGetMaxX(inContent) - 3 - i * 3, CGRectGetMaxY(inContent) - 2 },
                { CGRectGetMaxX(inContent) - 2, CGRectGetMaxY(inContent) - 3 - i * 3 } };
            CGContextStrokeLineSegments(c, line, 2);
        }
    }
}

void Theme::DrawDesktop(CGContextRef c, CGRect rect)
{
    CGContextSetRGBFillColor(c, 0.36, 0.45, 0.55, 1);
    CGContextFillRect(c, rect);
}

std::vector<CGRect> Theme::MenuBarTitleRects()
{
    std::vector<CGRect> rects;
    CGFloat x = 10;
    for (Menu* menu : MenuBar::Menus()) {
        CGFloat const w
            = (menu->GetTitle() ? TextWidth(menu->GetTitle(), kThemeSystemFont) : 0) + 2 * kMenuTitlePadding;
        rects.push_back({ { x, 0 }, { w, Screen::kMenuBarHeight } });
        x += w;
    }
    return rects;
}

void Theme::DrawMenuBar(CGContextRef c, CGFloat width, int highlighted)
{
    // An alert beep shows as the bar flashing dark.
    bool const flash = Beeper::IsFlashing();
    Fill(c, { { 0, 0 }, { width, Screen::kMenuBarHeight } }, flash ? 0.2 : 0.97);
    Fill(c, { { 0, Screen::kMenuBarHeight - 1 }, { width, 1 } }, 0.7);
    std::vector<Menu*> const menus = MenuBar::Menus();
    std::vector<CGRect> const rects = MenuBarTitleRects();
    bool const locked = ModalLoop::IsRunning(); // only the editing commands are offered
    for (std::size_t i = 0; i < menus.size() && i < rects.size(); ++i) {
        bool const on = static_cast<int>(i) == highlighted;
        if (on) {
            CGContextSetRGBFillColor(c, 0.25, 0.5, 0.85, 1);
            CGContextFillRect(c, CGRectInset(rects[i], 0, 1));
        }
        double const grey = on || flash ? 1.0 : locked && !MenuBar::HasOfferedCommands(menus[i]) ? 0.6 : 0.1;
        if (menus[i]->GetTitle())
            DrawText(
                c, menus[i]->GetTitle(), rects[i], i == 0 ? kThemeEmphasizedSystemFont : kThemeSystemFont, 1, grey);
    }
}

CGImageRef Theme::MenuItemImage(MenuItem const& item)
{
    if (!item.icon || CFGetTypeID(item.icon) != CGImageGetTypeID())
        return nullptr;
    return static_cast<CGImageRef>(const_cast<cf::Object*>(item.icon));
}

CGFloat Theme::MenuHeight(Menu* menu)
{
    CGFloat height = 8;
    for (MenuItemIndex i = 1; i <= menu->Count(); ++i) {
        MenuItem const* item = menu->Item(i);
        if (!item->IsHidden())
            height += item->IsSeparator() ? kMenuSeparatorHeight : kMenuItemHeight;
    }
    return height;
}

CGSize Theme::MenuSize(Menu* menu)
{
    CGFloat text = 0, keys = 0;
    for (MenuItemIndex i = 1; i <= menu->Count(); ++i) {
        MenuItem const* item = menu->Item(i);
        if (item->IsHidden() || item->IsSeparator())
            continue;
        CGFloat const icon = MenuItemImage(*item) ? kMenuIconSize + kMenuIconGap : 0;
        text = std::max(text, TextWidth(ItemText(*item), kThemeSystemFont) + item->indent * 12 + icon);
        keys = std::max(keys, KeyEquivalentWidth(*item));
    }
    // The rows lie inside the menu's one-pixel frame; a pixel to spare on each side keeps
    // rounding of the text's width from cutting the longest item.
    CGFloat const width = 2 + 20 + text + 2 + kMenuKeyGap + keys + kMenuKeyMargin;
    return { std::ceil(std::max<CGFloat>({ width, 120, menu->GetMinimumWidth() })), MenuHeight(menu) };
}

namespace {

    // A scroll strip of a menu taller than its frame: a light band with a small triangle.
    void DrawScrollArrow(CGContextRef c, CGRect strip, bool up)
    {
        Fill(c, strip, 0.98);
        CGFloat const x = CGRectGetMidX(strip), y = CGRectGetMidY(strip), h = 4;
        CGContextSetGrayFillColor(c, 0.25, 1);
        CGContextBeginPath(c);
        CGContextMoveToPoint(c, x - 5, up ? y + h / 2 : y - h / 2);
        CGContextAddLineToPoint(c, x + 5, up ? y + h / 2 : y - h / 2);
        CGContextAddLineToPoint(c, x, up ? y - h / 2 - 1 : y + h / 2 + 1);
        CGContextClosePath(c);
        CGContextFillPath(c);
    }

} // namespace

void Theme::DrawMenu(CGContextRef c, Menu* menu, CGRect frame, MenuItemIndex highlighted, bool editOnly, CGFloat scroll)
{
    Fill(c, frame, 0.98);
    Stroke(c, frame, 0.6);
    bool const moreAbove = scroll > 0;
    bool const moreBelow = scroll + frame.size.height < MenuHeight(menu);
    CGRect shown = CGRectInset(frame, 1, 1);
    if (moreAbove) {
        shown.origin.y += kMenuScrollArrowHeight - 1;
        shown.size.height -= kMenuScrollArrowHeight - 1;
    }
    if (moreBelow)
        shown.size.height -= kMenuScrollArrowHeight - 1;
    CGContextSaveGState(c);
    CGContextClipToRect(c, shown);
    CGFloat y = frame.origin.y + 4 - scroll;
    for (MenuItemIndex i = 1; i <= menu->Count(); ++i) {
        MenuItem const* item = menu->Item(i);
        if (item->IsHidden())
            continue;
        if (item->IsSeparator()) {
            Fill(c, { { frame.origin.x + 1, y + 3 }, { frame.size.width - 2, 1 } }, 0.85);
            y += kMenuSeparatorHeight;
            continue;
        }
        CGRect const row { { frame.origin.x + 1, y }, { frame.size.width - 2, kMenuItemHeight } };
        y += kMenuItemHeight;
        if (!CGRectIntersectsRect(row, shown))
            continue;
        bool const enabled = menu->IsEnabled() && item->enabled && !item->IsSectionHeader()
            && (!editOnly || ModalLoop::Offers(item->command));
        bool const on = i == highlighted && enabled;
        if (on) {
            CGContextSetRGBFillColor(c, 0.25, 0.5, 0.85, 1);
            CGContextFillRect(c, row);
        }
        double const grey = on ? 1.0 : enabled || item->IsSectionHeader() ? 0.1 : 0.6;
        CGFloat left = 20 + item->indent * 12;
        if (item->mark != noMark)
            DrawText(c, item->mark == diamondMark ? CFSTR("\u25C6") : CFSTR("\u2713"), { { row.origin.x + 5, row.origin.y }, { 14, kMenuItemHeight } },
                kThemeSystemFont, 0, grey);
        if (CGImageRef image = MenuItemImage(*item)) {
            CGRect const icon { { row.origin.x + left,
                                    row.origin.y + std::floor((kMenuItemHeight - kMenuIconSize) / 2) },
                { kMenuIconSize, kMenuIconSize } };
            CGContextSaveGState(c);
            if (!enabled && !item->IsSectionHeader())
                CGContextSetAlpha(c, 0.5);
            HIViewDrawCGImage(c, &icon, image);
            CGContextRestoreGState(c);
            left += kMenuIconSize + kMenuIconGap;
        }
        CGFloat const keyWidth = KeyEquivalentWidth(*item);
        CGFloat const textWidth = row.size.width - left - kMenuKeyMargin - (keyWidth > 0 ? keyWidth + kMenuKeyGap : 0);
        DrawText(c, ItemText(*item), { { row.origin.x + left, row.origin.y }, { textWidth, kMenuItemHeight } },
            item->IsSectionHeader() ? kThemeSmallEmphasizedSystemFont : kThemeSystemFont, 0, grey);
        if (keyWidth > 0) {
            std::string const key = KeyEquivalentText(*item);
            CFStringRef text = CFStringCreateWithCString(nullptr, key.c_str(), kCFStringEncodingUTF8);
            CGRect const box { { CGRectGetMaxX(row) - kMenuKeyMargin - keyWidth, row.origin.y },
                { keyWidth, kMenuItemHeight } };
            DrawText(c, text, box, kThemeSmallSystemFont, 2, grey);
            CFRelease(text);
        }
    }
    CGContextRestoreGState(c);
    if (moreAbove)
        DrawScrollArrow(c,
            { { frame.origin.x + 1, frame.origin.y + 1 }, { frame.size.width - 2, kMenuScrollArrowHeight - 1 } }, true);
    if (moreBelow)
        DrawScrollArrow(c,
            { { frame.origin.x + 1, CGRectGetMaxY(frame) - kMenuScrollArrowHeight },
                { frame.size.width - 2, kMenuScrollArrowHeight - 1 } },
            false);
}

CGSize Theme::HelpTagSize(CFStringRef text)
{
    HIThemeTextInfo info {};
    info.fontID = kThemeSmallSystemFont;
    CGFloat w = 0, h = 0;
    HIThemeGetTextDimensions(text, 240, &info, &w, &h, nullptr);
    return { std::ceil(w) + 12, std::ceil(h) + 8 };
}

void Theme::DrawHelpTag(CGContextRef c, CFStringRef text, CGRect frame)
{
    CGContextSetRGBFillColor(c, 1, 1, 0.85, 1);
    CGContextFillRect(c, frame);
    Stroke(c, frame, 0.5);
    HIThemeTextInfo info {};
    info.fontID = kThemeSmallSystemFont;
    CGRect const box = CGRectInset(frame, 6, 4);
    CGContextSetGrayFillColor(c, 0.1, 1);
    HIThemeDrawTextBox(text, &box, &info, c, kHIThemeOrientationNormal);
}

CGFloat Theme::TextWidth(CFStringRef text, UInt16 font)
{
    HIThemeTextInfo info {};
    info.fontID = font;
    CGFloat w = 0, h = 0;
    HIThemeGetTextDimensions(text, 0, &info, &w, &h, nullptr);
    return std::ceil(w);
}

// flush: 0 left, 1 centre, 2 right; the text is centred vertically and cut with an ellipsis.
void Theme::DrawText(CGContextRef c, CFStringRef text, CGRect box, UInt16 font, int flush, double grey)
{
    controls::ControlTheme::DrawTextInGrey(c, text, box, font, flush, grey);
}

} // namespace tw::toolbox
