#pragma once

// The look of the toolbox: window frames and title bars, window backgrounds,
// the stand-in look of controls, the menu bar, menus and help tags. Flat, light
// grey, DejaVu Sans through the theme text calls. All drawing takes a flipped
// context (y down).

#include "corefoundation/CFString.h"
#include "quartz/CGContext.h"
#include "toolbox/HIToolboxTypes.h"

namespace tw::toolbox {

class View;
class Window;
class Menu;
struct MenuItem;

class Theme {
public:
    static constexpr double kMenuItemHeight = 20; // [px]
    static constexpr double kMenuSeparatorHeight = 8; // [px]
    static constexpr double kMenuKeyGap = 24; // [px] between an item's text and its key equivalent
    static constexpr double kMenuKeyMargin = 8; // [px] right of the key equivalent
    static constexpr double kMenuTitlePadding = 10; // [px] either side of a title in the menu bar
    static constexpr double kMenuIconSize = 16; // [px] an item's icon, left of its text
    static constexpr double kMenuIconGap = 4; // [px] between an item's icon and its text
    static constexpr double kMenuScrollArrowHeight = 16; // [px] the strips of a menu taller than the screen

    // The standard look of a view of a system class (nothing for plain views).
    static OSStatus DrawView(CGContextRef context, View* view);
    static void DrawWindowFrame(CGContextRef context, Window* window);
    static void DrawWindowBackground(CGContextRef context, Window* window, CGRect rect);

    static void DrawDesktop(CGContextRef context, CGRect rect);
    // The menu bar across the top of the screen; highlighted: the index of the open title, or -1.
    static void DrawMenuBar(CGContextRef context, CGFloat width, int highlighted);
    // The titles' places in the menu bar.
    static std::vector<CGRect> MenuBarTitleRects();
    // The size a menu needs to show every item at once.
    static CGSize MenuSize(Menu* menu);
    // Only the height of that size: no text is measured.
    static CGFloat MenuHeight(Menu* menu);
    // An open menu at its frame; highlighted: the item index from 1, or 0.
    // With editOnly (a bar menu during an app-modal loop) only the standard editing commands show enabled.
    // scroll: how far the items are moved up in a frame shorter than the menu [px]; arrows at the top
    // and the bottom then show where more items are.
    static void DrawMenu(CGContextRef context, Menu* menu, CGRect frame, MenuItemIndex highlighted,
        bool editOnly = false, CGFloat scroll = 0);
    // The image an item shows left of its text (a CGImage icon), or null.
    static CGImageRef MenuItemImage(MenuItem const& item);
    static CGSize HelpTagSize(CFStringRef text);
    static void DrawHelpTag(CGContextRef context, CFStringRef text, CGRect frame);
    static CGFloat TextWidth(CFStringRef text, UInt16 font);
    static void DrawText(CGContextRef context, CFStringRef text, CGRect box, UInt16 font, int flush, double grey);
};

} // namespace tw::toolbox
