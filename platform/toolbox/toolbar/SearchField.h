#pragma once

#include "toolbox/controls/ControlBehaviour.h"
#include "toolbox/controls/EditTextModel.h"
#include "toolbox/toolbar/SearchFieldCalls.h"

#include <string>

namespace tw::toolbox::toolbar {

// The standard behaviour of a search field: single-line editing on the edit
// text model (typing, deleting, caret keys, select all, cut, copy and paste,
// clicks that place the caret), the search icon, the cancel button and the description.
class SearchField : public controls::Behaviour {
public:
    static constexpr CGFloat kIconWidth = 20; // [px] room for the search icon
    static constexpr CGFloat kCancelWidth = 18; // [px] room for the cancel button

    explicit SearchField(View* view);

    OptionBits GetAttributes() const { return mAttributes; }
    void SetAttributes(OptionBits attributes);
    std::u16string const& GetDescription() const { return mDescription; }
    void SetDescription(std::u16string text);
    std::u16string const& GetText() const { return mModel.Text(); }

    CGRect TextRect() const;
    CGRect CancelRect() const; // empty while there is no cancel button

protected:
    OSStatus Draw(CGContextRef c) override;
    ControlPartCode HitTest(CGPoint p) override;
    OSStatus Track(EventHandlerCallRef callRef, EventRef event) override;
    OSStatus Key(EventRef event) override;
    OSStatus Text(EventRef event) override;
    OSStatus SetData(ControlPartCode part, OSType tag, Size size, void const* data) override;
    OSStatus GetData(ControlPartCode part, OSType tag, Size bufferSize, void* data, Size* actualSize) override;
    bool TakesFocus() const override { return true; }
    ControlPartCode Focus(ControlPartCode part) override;
    OSStatus OtherEvent(EventHandlerCallRef callRef, EventRef event) override;

private:
    bool EditKey(UInt32 code, UniChar character, UInt32 modifiers);
    bool EditCommand(MenuCommand command);
    void Insert(std::u16string text);
    void Changed();
    void Send(EventClass eventClass, EventKind kind);
    CGFloat Width(std::size_t to) const;
    std::size_t PositionAt(CGFloat x) const;

    controls::EditTextModel mModel;
    std::u16string mDescription;
    OptionBits mAttributes = kHISearchFieldAttributesSearchIcon | kHISearchFieldAttributesCancel;
    CGFloat mScrollX = 0; // [px] text scrolled off to the left
};

} // namespace tw::toolbox::toolbar
