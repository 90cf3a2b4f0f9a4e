#pragma once

#include "toolbox/HIObject.h"
#include "toolbox/controls/ButtonContent.h"
#include "toolbox/toolbar/ToolbarCalls.h"

#include <string>

namespace tw::toolbox {
class View;
}

namespace tw::toolbox::toolbar {

class Toolbar;

// One toolbar item: identifier, attributes, label, help, command, image and,
// for items that show a view of their own, that view (asked for once).
class ToolbarItem : public HIObject {
public:
    ToolbarItem(std::string identifier, OptionBits attributes);

    // The item of a ref, or null.
    static ToolbarItem* From(HIToolbarItemRef ref);

    std::string const& GetIdentifier() const { return mIdentifier; }
    OptionBits GetAttributes() const { return mAttributes; }
    void ChangeAttributes(OptionBits set, OptionBits clear);
    bool IsEnabled() const { return !(mAttributes & kHIToolbarItemDisabled); }
    bool IsSeparator() const { return mAttributes & kHIToolbarItemIsSeparator; }
    bool IsFlexibleSpace() const { return mIdentifier == kHIToolbarFlexibleSpaceIdentifier; }
    bool IsSpace() const { return mIdentifier == kHIToolbarSpaceIdentifier; }

    std::u16string const& GetLabel() const { return mLabel; }
    void SetLabel(std::u16string label);
    void SetHelp(std::u16string shortText, std::u16string longText);
    std::u16string const& GetHelp() const { return mHelp; }
    MenuCommand GetCommand() const { return mCommand; }
    void SetCommand(MenuCommand command) { mCommand = command; }
    void SetContent(ControlButtonContentInfo const& content);
    CGImageRef GetImage() const { return mContent.Image(); }

    Toolbar* GetToolbar() const { return mToolbar; }
    void SetToolbar(Toolbar* toolbar) { mToolbar = toolbar; }
    // The custom view (asked of the item's handlers once), or null.
    View* GetView();
    // The view if it was made, without asking for one.
    View* PeekView() const { return mView; }

    // Sends ('tbit', 8) and, when no handler performs the action, the item's command to the window.
    void Perform();

protected:
    void ReleaseContents() override;

private:
    void Changed();

    std::string mIdentifier;
    OptionBits mAttributes;
    std::u16string mLabel;
    std::u16string mHelp;
    std::u16string mLongHelp;
    MenuCommand mCommand = 0;
    controls::ButtonContent mContent;
    Toolbar* mToolbar = nullptr; // weak: cleared by the toolbar when the item leaves it
    View* mView = nullptr; // owns one reference (adopted from the maker)
    bool mViewAsked = false;
};

} // namespace tw::toolbox::toolbar
