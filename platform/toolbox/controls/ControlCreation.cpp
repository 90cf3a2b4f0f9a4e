#include "corefoundation/CFString.h"
#include "toolbox/HIObjectCalls.h"
#include "toolbox/MenuCalls.h"
#include "toolbox/Window.h"
#include "toolbox/controls/ControlBehaviour.h"
#include "toolbox/controls/ControlDefinitions.h"
#include "toolbox/controls/ControlsInternal.h"

using tw::toolbox::LiveView;
using tw::toolbox::LiveWindow;
using tw::toolbox::View;
using tw::toolbox::controls::kControlsCreator;
using tw::toolbox::controls::MakeControl;

namespace {

CGRect ToCGRect(Rect const& r) { return CGRectMake(r.left, r.top, r.right - r.left, r.bottom - r.top); }

void SetTitleAndValue(ControlRef control, CFStringRef title, SInt32 value, SInt32 minimum, SInt32 maximum)
{
    View* view = LiveView(control);
    view->Values().minimum = minimum;
    view->Values().maximum = maximum;
    view->SetValue(value);
    if (title)
        view->SetTitle(title);
}

template <typename T> void SetData(ControlRef control, OSType tag, T const& value)
{
    SetControlData(control, kControlEntireControl, tag, sizeof value, &value);
}

} // namespace

namespace tw::toolbox::controls {

OSStatus CreateSystemView(char const* classID, CGRect const& frame, View** outView)
{
    *outView = nullptr;
    CFStringRef id = tw::cf::CreateString(classID);
    HIObjectRef object = nullptr;
    OSStatus const status = HIObjectCreate(id, nullptr, &object);
    CFRelease(id);
    if (status != noErr)
        return status;
    View* view = LiveView(object);
    view->SetFrame(frame);
    *outView = view;
    return noErr;
}

OSStatus MakeControl(char const* classID, WindowRef window, Rect const* bounds, ControlRef* outControl,
    std::function<void(View*)> const& prepare)
{
    if (!outControl)
        return paramErr;
    *outControl = nullptr;
    tw::toolbox::Window* live = LiveWindow(window);
    if ((window && !live) || !bounds)
        return paramErr;
    View* view = nullptr;
    if (OSStatus const status = CreateSystemView(classID, ToCGRect(*bounds), &view))
        return status;
    if (prepare)
        prepare(view);
    if (live) {
        live->GetContentView()->AddChild(view);
        view->Release();
    }
    *outControl = view;
    return noErr;
}

} // namespace tw::toolbox::controls

OSStatus CreatePushButtonControl(WindowRef window, Rect const* bounds, CFStringRef title, ControlRef* outControl)
{
    TW_RETURN_STATUS(MakeControl("com.apple.HIPushButton", window, bounds, outControl));
    SetTitleAndValue(*outControl, title, 0, 0, 1);
    return noErr;
}

OSStatus CreatePushButtonWithIconControl(WindowRef window, Rect const* bounds, CFStringRef title,
    ControlButtonContentInfo* icon, UInt16, ControlRef* outControl)
{
    TW_RETURN_STATUS(CreatePushButtonControl(window, bounds, title, outControl));
    if (icon)
        SetData(*outControl, kControlBevelButtonContentTag, *icon);
    return noErr;
}

OSStatus CreateBevelButtonControl(WindowRef window, Rect const* bounds, CFStringRef title, UInt16, UInt16 behavior,
    ControlButtonContentInfo* content, SInt16 menuID, UInt16, UInt16, ControlRef* outControl)
{
    TW_RETURN_STATUS(MakeControl("com.apple.HIBevelButton", window, bounds, outControl));
    SetTitleAndValue(*outControl, title, 0, 0, 1);
    SetData(*outControl, 'bhav', behavior);
    if (content)
        SetData(*outControl, kControlBevelButtonContentTag, *content);
    if (MenuRef menu = menuID != 0 ? GetMenuRef(menuID) : nullptr)
        SetData(*outControl, kControlPopupButtonMenuRefTag, menu);
    return noErr;
}

OSStatus CreateCheckBoxControl(
    WindowRef window, Rect const* bounds, CFStringRef title, SInt32 value, Boolean autoToggle, ControlRef* outControl)
{
    TW_RETURN_STATUS(MakeControl("com.apple.HICheckBox", window, bounds, outControl));
    SetTitleAndValue(*outControl, title, value, 0, 2);
    SetData(*outControl, 'auto', autoToggle);
    return noErr;
}

OSStatus CreateRadioGroupControl(WindowRef window, Rect const* bounds, ControlRef* outControl)
{
    return MakeControl("com.apple.HIRadioGroup", window, bounds, outControl);
}

OSStatus CreateRadioButtonControl(
    WindowRef window, Rect const* bounds, CFStringRef title, SInt32 value, Boolean autoToggle, ControlRef* outControl)
{
    TW_RETURN_STATUS(MakeControl("com.apple.HIRadioButton", window, bounds, outControl));
    SetTitleAndValue(*outControl, title, value, 0, 1);
    SetData(*outControl, 'auto', autoToggle);
    return noErr;
}

OSStatus CreatePopupButtonControl(WindowRef window, Rect const* bounds, CFStringRef title, SInt16 menuID, Boolean,
    SInt16, SInt16, UInt32, ControlRef* outControl)
{
    TW_RETURN_STATUS(MakeControl("com.apple.HIPopupButton", window, bounds, outControl));
    SetTitleAndValue(*outControl, title, 0, 0, 0);
    if (MenuRef menu = menuID != 0 ? GetMenuRef(menuID) : nullptr) {
        SetData(*outControl, kControlPopupButtonMenuRefTag, menu);
        SetControl32BitValue(*outControl, 1);
    }
    return noErr;
}

OSStatus CreateSliderControl(WindowRef window, Rect const* bounds, SInt32 value, SInt32 minimum, SInt32 maximum, UInt16,
    UInt16 numTickMarks, Boolean, ControlActionUPP action, ControlRef* outControl)
{
    TW_RETURN_STATUS(MakeControl("com.apple.HISlider", window, bounds, outControl));
    SetTitleAndValue(*outControl, nullptr, value, minimum, maximum);
    SetData(*outControl, kControlSliderTickCountTag, numTickMarks);
    SetControlAction(*outControl, action);
    return noErr;
}

OSStatus CreateStaticTextControl(
    WindowRef window, Rect const* bounds, CFStringRef text, ControlFontStyleRec const* style, ControlRef* outControl)
{
    TW_RETURN_STATUS(MakeControl("com.apple.HIStaticTextView", window, bounds, outControl));
    SetTitleAndValue(*outControl, text, 0, 0, 0);
    if (style)
        SetControlFontStyle(*outControl, style);
    return noErr;
}

OSStatus CreateEditUnicodeTextControl(WindowRef window, Rect const* bounds, CFStringRef text, Boolean isPassword,
    ControlFontStyleRec const* style, ControlRef* outControl)
{
    TW_RETURN_STATUS(MakeControl("com.apple.hieditunicodetext", window, bounds, outControl));
    if (style)
        SetControlFontStyle(*outControl, style);
    SetData(*outControl, kControlEditTextPasswordTag, isPassword);
    if (text)
        SetData(*outControl, kControlEditTextCFStringTag, text);
    return noErr;
}

OSStatus CreateEditTextControl(WindowRef window, Rect const* bounds, CFStringRef text, Boolean isPassword, Boolean,
    ControlFontStyleRec const* style, ControlRef* outControl)
{
    return CreateEditUnicodeTextControl(window, bounds, text, isPassword, style, outControl);
}

OSStatus CreateProgressBarControl(WindowRef window, Rect const* bounds, SInt32 value, SInt32 minimum, SInt32 maximum,
    Boolean indeterminate, ControlRef* outControl)
{
    TW_RETURN_STATUS(MakeControl("com.apple.HIProgressBar", window, bounds, outControl));
    SetTitleAndValue(*outControl, nullptr, value, minimum, maximum);
    SetData(*outControl, kControlProgressBarIndeterminateTag, indeterminate);
    return noErr;
}

OSStatus CreateChasingArrowsControl(WindowRef window, Rect const* bounds, ControlRef* outControl)
{
    return MakeControl("com.apple.HIChasingArrows", window, bounds, outControl);
}

OSStatus CreateGroupBoxControl(
    WindowRef window, Rect const* bounds, CFStringRef title, Boolean primary, ControlRef* outControl)
{
    TW_RETURN_STATUS(MakeControl("com.apple.HIGroupBox", window, bounds, outControl));
    SetTitleAndValue(*outControl, title, 0, 0, 0);
    SetControlProperty(*outControl, kControlsCreator, 'prim', sizeof primary, &primary);
    return noErr;
}

OSStatus CreateUserPaneControl(WindowRef window, Rect const* bounds, UInt32 features, ControlRef* outControl)
{
    TW_RETURN_STATUS(MakeControl("com.apple.HIUserPane", window, bounds, outControl));
    if (features & kControlGetsFocusOnClick)
        HIViewChangeFeatures(*outControl, kHIViewFeatureGetsFocusOnClick, 0);
    return noErr;
}

OSStatus CreateWindowHeaderControl(WindowRef window, Rect const* bounds, Boolean, ControlRef* outControl)
{
    return MakeControl("com.apple.HIWindowHeaderView", window, bounds, outControl);
}

OSStatus CreateIconControl(WindowRef window, Rect const* bounds, ControlButtonContentInfo const* icon,
    Boolean dontTrack, ControlRef* outControl)
{
    TW_RETURN_STATUS(MakeControl("com.apple.HIIconView", window, bounds, outControl));
    if (icon)
        SetData(*outControl, kControlIconContentTag, *icon);
    (void)dontTrack;
    return noErr;
}

OSStatus HISegmentedViewCreate(HIRect const* bounds, HIViewRef* outView)
{
    if (!bounds)
        return paramErr;
    Rect const r { static_cast<SInt16>(bounds->origin.y), static_cast<SInt16>(bounds->origin.x),
        static_cast<SInt16>(CGRectGetMaxY(*bounds)), static_cast<SInt16>(CGRectGetMaxX(*bounds)) };
    return MakeControl("com.apple.HISegmentedView", nullptr, &r, outView);
}

OSStatus HIScrollViewCreate(OptionBits options, HIViewRef* outView)
{
    Rect const r {};
    TW_RETURN_STATUS(MakeControl("com.apple.HIScrollView", nullptr, &r, outView));
    SetControlProperty(*outView, kControlsCreator, 'opts', sizeof options, &options);
    return noErr;
}

OSStatus SetControlFontStyle(ControlRef control, ControlFontStyleRec const* style)
{
    if (!LiveView(control) || !style)
        return paramErr;
    SetControlProperty(control, kControlsCreator, 'font', sizeof *style, style);
    HIViewSetNeedsDisplay(control, true);
    return noErr;
}

OSStatus SetControlAction(ControlRef control, ControlActionUPP action)
{
    return SetControlProperty(control, kControlsCreator, 'actn', sizeof action, &action);
}

ControlActionUPP GetControlAction(ControlRef control)
{
    ControlActionUPP action = nullptr;
    GetControlProperty(control, kControlsCreator, 'actn', sizeof action, nullptr, &action);
    return action;
}

OSStatus SetControlPopupMenuHandle(ControlRef control, MenuRef menu)
{
    return SetControlData(control, kControlEntireControl, kControlPopupButtonMenuRefTag, sizeof menu, &menu);
}

MenuRef GetControlPopupMenuHandle(ControlRef control)
{
    MenuRef menu = nullptr;
    GetControlData(control, kControlEntireControl, kControlPopupButtonMenuRefTag, sizeof menu, &menu, nullptr);
    return menu;
}

namespace tw::toolbox::controls {

UInt16 ThemeFontOf(View* view)
{
    ControlFontStyleRec style;
    if (view->GetProperty(kControlsCreator, 'font', sizeof style, nullptr, &style) == noErr
        && (style.flags & kControlUseThemeFontIDMask))
        return static_cast<UInt16>(style.font);
    UInt16 font = kThemeSystemFont;
    view->GetProperty('twnb', 'font', sizeof font, nullptr, &font);
    return font;
}

std::vector<CFStringRef> CopyNibLines(View* view, OSType tag)
{
    std::vector<CFStringRef> lines;
    ByteCount size = 0;
    if (view->GetPropertySize(kControlsCreator, tag, &size) != noErr || size == 0)
        return lines;
    std::u16string text(size / sizeof(char16_t), u'\0');
    view->GetProperty(kControlsCreator, tag, size, nullptr, text.data());
    for (std::size_t start = 0; start <= text.size();) {
        std::size_t end = text.find(u'\n', start);
        if (end == std::u16string::npos)
            end = text.size();
        lines.push_back(cf::CreateString(cf::UTF16ToUTF8(text.substr(start, end - start))));
        start = end + 1;
    }
    return lines;
}

HIThemeTextHorizontalFlush JustificationOf(View* view)
{
    ControlFontStyleRec style;
    if (view->GetProperty(kControlsCreator, 'font', sizeof style, nullptr, &style) != noErr)
        return kHIThemeTextHorizontalFlushLeft;
    // teJustCenter 1, teFlushRight -1.
    return style.just == 1 ? kHIThemeTextHorizontalFlushCenter
        : style.just == -1 ? kHIThemeTextHorizontalFlushRight
                           : kHIThemeTextHorizontalFlushLeft;
}

} // namespace tw::toolbox::controls
