#include "display/InputFunnel.h"

#include "services/AppleEvents.h"
#include "toolbox/DragCalls.h"
#include "toolbox/HelpTags.h"
#include "toolbox/Menu.h"
#include "toolbox/MenuBar.h"
#include "toolbox/ModalLoop.h"
#include "toolbox/MouseTracking.h"
#include "toolbox/ScreenSink.h"
#include "toolbox/View.h"
#include "toolbox/Window.h"
#include "toolbox/WindowCalls.h"
#include "toolbox/WindowList.h"
#include "toolbox/toolbar/ToolbarCustomize.h"

#include <cmath>

namespace tw::display {

namespace {

    using toolbox::MouseSession;
    using toolbox::Window;
    using toolbox::WindowList;

    struct ClickState {
        EventTime time = -1;
        CGPoint where {};
        UInt16 button = 0;
        UInt32 count = 0;
    };
    ClickState sClicks;

    UInt32 CountClick(InputEvent const& input, EventTime now)
    {
        bool const near = std::abs(input.location.x - sClicks.where.x) < InputFunnel::kClickSlop
            && std::abs(input.location.y - sClicks.where.y) < InputFunnel::kClickSlop;
        bool const soon = sClicks.time >= 0 && now - sClicks.time <= toolbox::kDoubleClickTime;
        sClicks.count = near && soon && input.button == sClicks.button ? sClicks.count + 1 : 1;
        sClicks.time = now;
        sClicks.where = input.location;
        sClicks.button = input.button;
        return sClicks.count;
    }

    EventRef MakeMouseEvent(InputEvent const& input, EventKind kind)
    {
        EventRef event = nullptr;
        CreateEvent(nullptr, kEventClassMouse, kind, GetCurrentEventTime(), kEventAttributeUserEvent, &event);
        HIPoint const where = input.location;
        SetEventParameter(event, kEventParamMouseLocation, typeHIPoint, sizeof where, &where);
        SetEventParameter(event, kEventParamKeyModifiers, typeUInt32, sizeof input.modifiers, &input.modifiers);
        EventMouseButton const button = input.button;
        SetEventParameter(event, kEventParamMouseButton, typeMouseButton, sizeof button, &button);
        return event;
    }

    EventRef MakeKeyEvent(InputEvent const& input)
    {
        EventKind const kind = input.kind == InputKind::KeyUp ? kEventRawKeyUp
            : input.kind == InputKind::ModifiersChanged       ? kEventRawKeyModifiersChanged
            : input.repeat                                    ? kEventRawKeyRepeat
                                                              : kEventRawKeyDown;
        EventRef event = nullptr;
        CreateEvent(nullptr, kEventClassKeyboard, kind, GetCurrentEventTime(), kEventAttributeUserEvent, &event);
        char const macChar = static_cast<char>(input.character < 128 ? input.character : '?');
        UniChar const unicode = static_cast<UniChar>(input.character);
        SetEventParameter(event, kEventParamKeyCode, typeUInt32, sizeof input.keyCode, &input.keyCode);
        SetEventParameter(event, kEventParamKeyMacCharCodes, typeChar, sizeof macChar, &macChar);
        SetEventParameter(event, kEventParamKeyUnicodes, typeUnicodeText, sizeof unicode, &unicode);
        SetEventParameter(event, kEventParamKeyModifiers, typeUInt32, sizeof input.modifiers, &input.modifiers);
        // Where the mouse was when the key went: a tracking loop that takes the key reports it there.
        HIPoint const mouse = MouseSession::GetLocation();
        SetEventParameter(event, kEventParamMouseLocation, typeHIPoint, sizeof mouse, &mouse);
        return event;
    }

    bool sQuitHeld = false;
    constexpr UInt32 kEscapeKeyCode = 53;
    constexpr UInt32 kEscapeCharacter = 27;
    constexpr EventTimerInterval kQuitRetryInterval = 0.05; // [s]

    // The application hears a quit Apple event (it may ask to save first); unhandled, it ends the loop.
    void SendQuit()
    {
        sQuitHeld = false;
        AppleEvent quit;
        if (AECreateAppleEvent(
                kCoreEventClass, kAEQuitApplication, nullptr, kAutoGenerateReturnID, kAnyTransactionID, &quit)
            == noErr) {
            AESend(&quit, nullptr, kAENoReply, kAENormalPriority, kAEDefaultTimeout, nullptr, nullptr);
            AEDisposeDesc(&quit);
        }
    }

    // Nor inside a mouse tracking loop (an open menu, a drag): the loop is cancelled as Escape
    // would, and the quit goes once it has returned and any modal loop has ended.
    void QuitWhenFree()
    {
        if (!MouseSession::IsActive()) {
            toolbox::ModalLoop::WhenDone(SendQuit);
            return;
        }
        InputEvent escape;
        escape.kind = InputKind::KeyDown;
        escape.keyCode = kEscapeKeyCode;
        escape.character = kEscapeCharacter;
        escape.modifiers = MouseSession::GetModifiers();
        EventRef event = MakeKeyEvent(escape);
        MouseSession::Offer(event);
        ReleaseEvent(event);
        EventLoopTimerRef timer = nullptr;
        InstallEventLoopTimer(
            GetMainEventLoop(), kQuitRetryInterval, 0,
            [](EventLoopTimerRef t, void*) {
                RemoveEventLoopTimer(t);
                QuitWhenFree();
            },
            nullptr, &timer);
    }

    void PostEvent(EventRef event)
    {
        if (!event)
            return;
        PostEventToQueue(GetMainEventQueue(), event, kEventPriorityStandard);
        ReleaseEvent(event);
    }

    // Alt pressed and let go with nothing else between (no key, no click) is a tap.
    struct AltTap {
        bool armed = false;
        UInt32 modifiers = 0; // the last modifier change
    };
    AltTap sAltTap;

    // Answers whether a modifier change ends a tap of Alt; any other key or click spoils one.
    bool EndsAltTap(EventRef event)
    {
        if (GetEventClass(event) != kEventClassKeyboard || GetEventKind(event) != kEventRawKeyModifiersChanged) {
            sAltTap.armed = false;
            return false;
        }
        UInt32 modifiers = 0;
        GetEventParameter(event, kEventParamKeyModifiers, typeUInt32, nullptr, sizeof modifiers, nullptr, &modifiers);
        modifiers &= cmdKey | shiftKey | optionKey | controlKey;
        bool const ends = sAltTap.armed && modifiers == 0;
        sAltTap.armed = modifiers == optionKey && sAltTap.modifiers == 0;
        sAltTap.modifiers = modifiers;
        return ends;
    }

    // 1. a tracking loop takes it; 2. the menu bar; 3. a modal window refuses others;
    // 4. the window under the mouse is brought forward and handles the click.
    // A palette's control whose command the modal loop's window named (a zoom button of the
    // navigator while the find window is up) takes its click; the editing commands do not count.
    bool IsOfferedPaletteControl(Window* window, CGPoint local)
    {
        if (WindowList::Layer(window) != 3 || window->FindPart(local) != inContent)
            return false;
        toolbox::View* view = window->GetRoot()->DeepestViewAt(local);
        UInt32 const command = view ? view->Values().command : 0;
        return command != 0 && !toolbox::MenuBar::IsStandardEditCommand(command) && toolbox::ModalLoop::Offers(command);
    }

    OSStatus RouteMouseDown(EventRef event, CGPoint where)
    {
        toolbox::HelpTags::Hide();
        if (where.y < toolbox::Screen::kMenuBarHeight) {
            toolbox::Menu* menu = nullptr;
            MenuItemIndex item = 0;
            UInt32 modifiers = 0;
            GetEventParameter(
                event, kEventParamKeyModifiers, typeUInt32, nullptr, sizeof modifiers, nullptr, &modifiers);
            if (toolbox::MenuBar::TrackBar(where, &menu, &item))
                toolbox::MenuBar::SendCommand(menu, item, modifiers);
            return noErr;
        }
        Window* window = WindowList::FindAt(where);
        if (!window)
            return eventNotHandledErr;
        CGPoint const local { where.x - window->GetStructure().origin.x, where.y - window->GetStructure().origin.y };
        Window* modal = WindowList::ModalWindow();
        if (modal && window != modal && window->GetSheetParent() != modal && !IsOfferedPaletteControl(window, local))
            return noErr;
        // A window with a sheet takes no clicks of its own but can still be moved.
        if (window->GetSheet() && window->GetSheet()->IsVisible() && window->FindPart(local) != inDrag
            && !toolbox::toolbar::IsCustomizedToolbarAt(window, local))
            return noErr;
        if (!window->IsActive() && WindowList::Layer(window) == 1)
            SelectWindow(window->GetSheetParent() ? window->GetSheetParent() : window);
        WindowRef ref = window;
        SetEventParameter(event, kEventParamWindowRef, typeWindowRef, sizeof ref, &ref);
        SetEventParameter(event, kEventParamWindowMouseLocation, typeHIPoint, sizeof local, &local);
        toolbox::Protector protect(window);
        return SendEventToEventTarget(event, &window->GetTarget());
    }

    OSStatus RouteWheel(EventRef event, CGPoint where)
    {
        Window* window = WindowList::FindAt(where);
        if (!window || (WindowList::ModalWindow() && window != WindowList::ModalWindow()))
            return eventNotHandledErr;
        CGPoint const local { where.x - window->GetStructure().origin.x, where.y - window->GetStructure().origin.y };
        toolbox::View* view = window->GetRoot()->DeepestViewAt(local);
        events::Target* target = view ? &view->GetTarget() : &window->GetTarget();
        toolbox::Protector protect(window);
        return SendEventToEventTarget(event, target);
    }

    OSStatus RouteMouse(EventRef event)
    {
        if (GetEventKind(event) == kEventMouseDown || GetEventKind(event) == kEventMouseWheelMoved)
            EndsAltTap(event);
        HIPoint where {};
        GetEventParameter(event, kEventParamMouseLocation, typeHIPoint, nullptr, sizeof where, nullptr, &where);
        if (MouseSession::Offer(event))
            return noErr;
        switch (GetEventKind(event)) {
        case kEventMouseDown:
            return RouteMouseDown(event, where);
        case kEventMouseWheelMoved:
            return RouteWheel(event, where);
        default:
            break;
        }
        if (GetEventKind(event) == kEventMouseMoved)
            toolbox::HelpTags::MouseMoved(where);
        Window* window = WindowList::FindAt(where);
        if (window) {
            WindowRef ref = window;
            SetEventParameter(event, kEventParamWindowRef, typeWindowRef, sizeof ref, &ref);
            return SendEventToEventTarget(event, &window->GetTarget());
        }
        return SendEventToEventTarget(event, GetApplicationEventTarget());
    }

    // The text of a key (the keyboard sends it right after the key goes down) belongs to the
    // focus the key went down to: when that key moved the focus (a button that greyed itself,
    // a sheet that opened), the text is not typed where the focus went. The repeats of a held
    // key belong to the focus its first press went to, until the key comes up.
    struct KeyText {
        bool pending = false; // a key went down and its text may follow
        EventTargetRef focus = nullptr; // the focus it went down to
        bool held = false;
        UInt32 heldCode = 0;
    };
    KeyText sKeyText;

    void NoteKey(EventKind kind, UInt32 code)
    {
        sKeyText.pending = false;
        if (kind == kEventRawKeyUp && code == sKeyText.heldCode)
            sKeyText.held = false;
        if (kind != kEventRawKeyDown && kind != kEventRawKeyRepeat)
            return;
        sKeyText.pending = true;
        if (kind == kEventRawKeyRepeat && sKeyText.held && code == sKeyText.heldCode)
            return;
        WindowList::InstallFocusProvider();
        sKeyText.focus = GetUserFocusEventTarget();
        sKeyText.held = true;
        sKeyText.heldCode = code;
    }

    // Answers whether typed text is the text of a key whose focus has gone.
    bool IsStrayText()
    {
        if (!sKeyText.pending)
            return false;
        sKeyText.pending = false;
        WindowList::InstallFocusProvider();
        return GetUserFocusEventTarget() != sKeyText.focus;
    }

    constexpr UInt32 kF10KeyCode = 109;

    // Opens a menu of the bar from the keyboard and sends the command chosen in it.
    void OpenMenuBar(int title)
    {
        toolbox::Menu* menu = nullptr;
        MenuItemIndex item = 0;
        if (toolbox::MenuBar::TrackFromKeyboard(title, &menu, &item))
            toolbox::MenuBar::SendCommand(menu, item, 0);
    }

    // F10 opens the first menu of the bar, Alt and a letter the menu whose title starts with it.
    bool OpensMenuBar(UInt32 code, UniChar character, UInt32 modifiers)
    {
        modifiers &= cmdKey | shiftKey | optionKey | controlKey;
        int title = -1;
        if (code == kF10KeyCode && modifiers == 0)
            title = 0;
        else if ((modifiers & ~UInt32(shiftKey)) == optionKey && character > 0x20 && character != 0x7F)
            title = toolbox::MenuBar::TitleStartingWith(character);
        if (title < 0 || toolbox::MenuBar::Menus().empty())
            return false;
        OpenMenuBar(title);
        return true;
    }

    // An open menu first, then key equivalents (a disabled item's key does nothing), the keys that
    // open the menu bar, then the focus; Tab moves the focus, Return and Escape reach the default
    // and cancel buttons.
    OSStatus RouteKey(EventRef event)
    {
        bool const altTap = EndsAltTap(event);
        // 1. A tracking loop takes modifier changes and Escape (which cancels it); an open menu every key.
        if (MouseSession::Offer(event))
            return noErr;
        UInt32 modifiers = 0, code = 0;
        UniChar character = 0;
        GetEventParameter(event, kEventParamKeyModifiers, typeUInt32, nullptr, sizeof modifiers, nullptr, &modifiers);
        GetEventParameter(event, kEventParamKeyCode, typeUInt32, nullptr, sizeof code, nullptr, &code);
        // The Unicode character, not the Mac Roman one: that is "?" for every other character.
        GetEventParameter(
            event, kEventParamKeyUnicodes, typeUnicodeText, nullptr, sizeof character, nullptr, &character);
        EventKind const kind = GetEventKind(event);
        NoteKey(kind, code);
        if (kind == kEventRawKeyDown && (modifiers & cmdKey)) {
            toolbox::Menu* menu = nullptr;
            MenuItemIndex item = 0;
            if (toolbox::MenuBar::MatchKey(character, modifiers, &menu, &item)) {
                if (toolbox::MenuBar::CanChoose(menu, item))
                    toolbox::MenuBar::SendCommand(menu, item, modifiers);
                return noErr;
            }
        }
        if (kind == kEventRawKeyDown && OpensMenuBar(code, character, modifiers))
            return noErr;
        WindowList::InstallFocusProvider();
        OSStatus status = SendEventToEventTarget(event, GetUserFocusEventTarget());
        // The views hear Alt let go before the menu opens.
        if (altTap) {
            OpenMenuBar(0);
            return noErr;
        }
        if (status != eventNotHandledErr || kind == kEventRawKeyUp)
            return status;
        Window* window = WindowList::ModalWindow();
        if (!window)
            window = WindowList::FrontNonFloating();
        if (window && window->GetSheet() && window->GetSheet()->IsVisible())
            window = window->GetSheet();
        if (!window)
            return status;
        if (code == 48 && !(modifiers & cmdKey))
            return window->AdvanceFocus(modifiers & shiftKey);
        toolbox::View* button = nullptr;
        if (code == 36 || code == 52)
            button = window->GetDefaultButton();
        else if (code == 53)
            button = window->GetCancelButton();
        if (button && button->IsEnabled() && button->IsVisible()) {
            toolbox::Protector protect(button);
            return button->SendCommand(modifiers), noErr;
        }
        return status;
    }

} // namespace

void InputFunnel::Install() { events::SetPostedEventRouter(&InputFunnel::Route); }

void InputFunnel::Post(InputEvent const& input)
{
    Install();
    switch (input.kind) {
    case InputKind::MouseDown: {
        UInt32 const count = CountClick(input, GetCurrentEventTime());
        MouseSession::Update(input.location, input.modifiers, MouseSession::GetButtons() | (1u << (input.button - 1)));
        EventRef event = MakeMouseEvent(input, kEventMouseDown);
        SetEventParameter(event, kEventParamClickCount, typeUInt32, sizeof count, &count);
        PostEvent(event);
        break;
    }
    case InputKind::MouseUp: {
        MouseSession::Update(input.location, input.modifiers, MouseSession::GetButtons() & ~(1u << (input.button - 1)));
        EventRef event = MakeMouseEvent(input, kEventMouseUp);
        SetEventParameter(event, kEventParamClickCount, typeUInt32, sizeof sClicks.count, &sClicks.count);
        PostEvent(event);
        break;
    }
    case InputKind::MouseMove: {
        CGPoint const last = MouseSession::GetLocation();
        UInt32 const buttons = MouseSession::GetButtons();
        MouseSession::Update(input.location, input.modifiers, buttons);
        EventRef event = MakeMouseEvent(input, buttons ? kEventMouseDragged : kEventMouseMoved);
        HIPoint const delta { input.location.x - last.x, input.location.y - last.y };
        SetEventParameter(event, kEventParamMouseDelta, typeHIPoint, sizeof delta, &delta);
        PostEvent(event);
        break;
    }
    case InputKind::Wheel: {
        MouseSession::Update(input.location, input.modifiers, MouseSession::GetButtons());
        for (auto [axis, amount] : { std::pair<UInt16, double> { 1, input.wheelY }, { 0, input.wheelX } }) {
            if (amount == 0)
                continue;
            EventRef event = MakeMouseEvent(input, kEventMouseWheelMoved);
            SInt32 const delta = static_cast<SInt32>(std::lround(amount));
            SetEventParameter(event, kEventParamMouseWheelAxis, typeMouseWheelAxis, sizeof axis, &axis);
            SetEventParameter(event, kEventParamMouseWheelDelta, typeSInt32, sizeof delta, &delta);
            PostEvent(event);
        }
        break;
    }
    case InputKind::KeyDown:
    case InputKind::KeyUp:
    case InputKind::ModifiersChanged:
        MouseSession::Update(MouseSession::GetLocation(), input.modifiers, MouseSession::GetButtons());
        PostEvent(MakeKeyEvent(input));
        break;
    case InputKind::Text: {
        EventRef event = nullptr;
        CreateEvent(nullptr, kEventClassTextInput, kEventTextInputUnicodeForKeyEvent, GetCurrentEventTime(), 0, &event);
        std::u16string const text = cf::UTF8ToUTF16(input.text);
        SetEventParameter(
            event, kEventParamTextInputSendText, typeUnicodeText, text.size() * sizeof(char16_t), text.data());
        PostEvent(event);
        break;
    }
    case InputKind::Quit:
        // A quit cannot start inside an app-modal loop (an alert or dialog): it waits for the loop's end.
        if (!sQuitHeld) {
            sQuitHeld = true;
            QuitWhenFree();
        }
        break;
    case InputKind::Activated:
    case InputKind::Deactivated: {
        // The application hears it (documents look for files moved meanwhile); no window changes.
        EventRef event = nullptr;
        CreateEvent(nullptr, kEventClassApplication,
            input.kind == InputKind::Activated ? kEventAppActivated : kEventAppDeactivated, GetCurrentEventTime(), 0,
            &event);
        PostEvent(event);
        break;
    }
    case InputKind::DropFiles:
    case InputKind::DropText:
        // Drops reach the Drag Manager, which hands them to the window and view under them.
        toolbox::DeliverExternalDrop(input.location, input.files, input.text);
        break;
    }
}

OSStatus InputFunnel::Route(EventRef event)
{
    switch (GetEventClass(event)) {
    case kEventClassMouse:
        return RouteMouse(event);
    case kEventClassKeyboard:
        return RouteKey(event);
    case kEventClassTextInput:
        // Typing in an open menu selects its items: the text is not for the focus.
        if (MouseSession::WantsKeys() || IsStrayText())
            return noErr;
        WindowList::InstallFocusProvider();
        return SendEventToEventTarget(event, GetUserFocusEventTarget());
    case kEventClassCommand:
        WindowList::InstallFocusProvider();
        return SendEventToEventTarget(event, GetUserFocusEventTarget());
    default:
        return SendEventToEventTarget(event, GetApplicationEventTarget());
    }
}

void InputFunnel::Reset()
{
    sClicks = {};
    sAltTap = {};
    sKeyText = {};
    sQuitHeld = false;
    toolbox::ModalLoop::Reset();
    MouseSession::Reset();
    toolbox::HelpTags::Reset();
    Install();
}

} // namespace tw::display
