#pragma once

#include "toolbox/MenuTypes.h"
#include "toolbox/MouseTracking.h"

#include <string>
#include <vector>

namespace tw::toolbox {

class Menu;

// An open menu as the screen shows it.
struct OpenMenu {
    Menu* menu; // retains while open
    CGRect frame; // global
    MenuItemIndex highlighted; // from 1; 0 for none
    bool editOnly = false; // opened from the bar during an app-modal loop
    CGFloat scroll = 0; // [px] the items moved up in a frame shorter than the menu
};

// The menu bar (the root menu, whose items' submenus are the bar's menus),
// menu tracking as a nested loop, and key equivalents. Main thread only.
class MenuBar {
public:
    static Menu* GetRoot();
    static void SetRoot(Menu* root); // retains
    // The bar's menus, left to right.
    static std::vector<Menu*> Menus();
    static int HighlightedTitle() { return sHighlighted; }
    static std::vector<OpenMenu> const& Open();

    // Tracks a click in the menu bar at a global point; answers the chosen (menu, item).
    static bool TrackBar(CGPoint global, Menu** outMenu, MenuItemIndex* outItem);
    // Opens a menu of the bar from the keyboard, its first item highlighted, and tracks it
    // as a click on its title would; answers the chosen (menu, item).
    static bool TrackFromKeyboard(int title, Menu** outMenu, MenuItemIndex* outItem);
    // The first menu of the bar whose title starts with a letter (any case), or -1.
    static int TitleStartingWith(UniChar letter);
    // Shows a menu with its top-left at a global point (or with an item there) and tracks it.
    // pressedAt: where the mouse went down, when the press opened it (else the mouse's place now).
    static bool TrackPopUp(Menu* menu, CGPoint topLeft, MenuItemIndex atItem, bool mouseIsDown, Menu** outMenu,
        MenuItemIndex* outItem, CGPoint const* pressedAt = nullptr);
    // Sends the process-command event of a chosen item to the user focus.
    static OSStatus SendCommand(Menu* menu, MenuItemIndex item, UInt32 modifiers);
    // Finds an item whose key equivalent matches (after the status pass), or nothing.
    static bool MatchKey(UniChar character, UInt32 modifiers, Menu** outMenu, MenuItemIndex* outItem);
    // Whether a bar item can be chosen now: enabled, and during an app-modal loop
    // one of the standard editing commands (which act on the modal window's focus).
    static bool CanChoose(Menu* menu, MenuItemIndex item);
    static bool IsStandardEditCommand(MenuCommand command);
    // Whether a bar menu offers anything during an app-modal loop.
    static bool HasOfferedCommands(Menu* menu);
    // Redraws the bar (its titles grey while an app-modal loop runs).
    static void Invalidate();

    // Test only: no menu bar, nothing open.
    static void Reset();

private:
    enum class KeyOutcome { Continue, Choose, Cancel };
    struct TypeAhead {
        std::u16string text;
        EventTime at = -1;
    };

    // Follows the mouse and the keys; answers whether an item was chosen.
    // Opened from the keyboard, it follows the mouse only once the mouse moves.
    static bool Track(CGPoint start, bool mouseIsDown, bool inBar, Menu** outMenu, MenuItemIndex* outItem,
        bool fromKeys = false);
    static KeyOutcome HandleKey(TrackedKey const& key, bool inBar, std::vector<Menu*> const& bar, TypeAhead& typed,
        Menu** outMenu, MenuItemIndex* outItem);
    static void OpenTitle(int title, std::vector<Menu*> const& bar);
    // Opens the menu of a title beside the open one (Left and Right).
    static void OpenNeighbour(int title, std::vector<Menu*> const& bar);
    // Highlights an item (0: none) of an open menu, closing the menus below it.
    static void Highlight(std::size_t level, MenuItemIndex item);
    // Opens the submenu of the highlighted item beside it.
    static void OpenSubmenu(std::size_t level);
    static void OpenMenuAt(Menu* menu, CGPoint topLeft, bool editOnly);
    static void CloseFrom(std::size_t level);
    static void ChangedOnScreen(CGRect global);
    // Scrolls an open menu by that many pixels (kept within its items); answers whether it moved.
    static bool ScrollBy(std::size_t level, CGFloat delta);
    // Scrolls an open menu so that its highlighted item shows whole.
    static void RevealHighlighted(std::size_t level);

    static inline int sHighlighted = -1;
};

} // namespace tw::toolbox
