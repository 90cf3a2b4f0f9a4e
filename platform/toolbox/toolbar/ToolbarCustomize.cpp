#include "toolbox/toolbar/ToolbarCustomize.h"

#include "corefoundation/CFString.h"
#include "quartz/HIViewDrawing.h"
#include "toolbox/MenuCalls.h"
#include "toolbox/MouseTracking.h"
#include "toolbox/ObjectClass.h"
#include "toolbox/View.h"
#include "toolbox/Window.h"
#include "toolbox/controls/ControlBehaviour.h"
#include "toolbox/controls/ControlTheme.h"
#include "toolbox/dialogs/DialogKit.h"
#include "toolbox/toolbar/Toolbar.h"
#include "toolbox/toolbar/ToolbarItem.h"
#include "toolbox/toolbar/ToolbarStrip.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <vector>

namespace tw::toolbox::toolbar {

namespace {

    using controls::ControlTheme;

    constexpr MenuCommand kCommandDone = 'ok  ';
    constexpr MenuCommand kCommandMode = 'tbdm';
    constexpr MenuCommand kCommandIconAndText = 'tbm1', kCommandIconOnly = 'tbm2', kCommandTextOnly = 'tbm3';
    constexpr SInt16 kWidth = 600; // [px] the sheet
    constexpr CGFloat kCell = 84, kCellHeight = 64; // [px] one item of the allowed set
    constexpr CGFloat kIcon = 32; // [px]

    // The allowed items shown in a sheet, made once from the toolbar's identifiers.
    struct Sample {
        std::string identifier;
        ToolbarItem* item; // one reference
    };

    struct Session {
        WeakRef<Toolbar> toolbar;
        WeakRef<Window> sheet;
        std::vector<Sample> allowed;
        std::vector<Sample> defaults;
    };

    std::map<Toolbar*, Session*>& Sessions()
    {
        static std::map<Toolbar*, Session*> sessions; // owns each session until its sheet ends
        return sessions;
    }

    std::vector<Sample> MakeSamples(Toolbar* toolbar, std::vector<std::string> const& identifiers, bool allowed)
    {
        std::vector<Sample> samples;
        for (std::string const& identifier : identifiers) {
            if (allowed && std::any_of(samples.begin(), samples.end(),
                               [&](Sample const& s) { return s.identifier == identifier; }))
                continue;
            CFStringRef string = cf::CreateString(identifier);
            ToolbarItem* item = toolbar->CreateItem(string);
            CFRelease(string);
            if (!item)
                continue;
            // Fixed parts of the toolbar (its insets) are not the user's to add, nor shown.
            bool const plain = item->IsSeparator() || item->IsSpace() || item->IsFlexibleSpace();
            if (!plain && (item->GetLabel().empty() || (item->GetAttributes() & kHIToolbarItemCantBeRemoved))) {
                item->Release();
                continue;
            }
            samples.push_back({ identifier, item });
        }
        return samples;
    }

    void ReleaseSamples(std::vector<Sample>& samples)
    {
        for (Sample& sample : samples) {
            sample.item->Dispose();
            sample.item->Release();
        }
        samples.clear();
    }

    std::u16string SampleLabel(ToolbarItem* item)
    {
        if (item->IsSeparator())
            return u"Separator";
        if (item->IsSpace())
            return u"Space";
        if (item->IsFlexibleSpace())
            return u"Flexible Space";
        return item->GetLabel();
    }

    // One item as the sheet draws it: its icon (or the look of a separator or space) and label.
    void DrawSample(CGContextRef c, ToolbarItem* item, CGRect cell, bool withLabel)
    {
        CGRect const icon { { std::floor(CGRectGetMidX(cell) - kIcon / 2), cell.origin.y + 4 }, { kIcon, kIcon } };
        if (item->IsSeparator()) {
            CGContextSetGrayFillColor(c, 0.5, 1);
            CGContextFillRect(c, { { CGRectGetMidX(icon), icon.origin.y }, { 1, kIcon } });
        } else if (item->IsSpace() || item->IsFlexibleSpace()) {
            CGContextSetGrayStrokeColor(c, 0.55, 1);
            CGFloat const dash[] = { 3, 2 };
            CGContextSetLineDash(c, 0, dash, 2);
            CGContextStrokeRect(c, CGRectInset(icon, 0.5, 6.5));
            CGContextSetLineDash(c, 0, nullptr, 0);
        } else if (CGImageRef image = item->GetImage()) {
            HIViewDrawCGImage(c, &icon, image);
        } else {
            ControlTheme::RoundedRectPath(c, CGRectInset(icon, 0, 8), 4);
            CGContextSetGrayFillColor(c, 1, 1);
            CGContextFillPath(c);
            ControlTheme::RoundedRectPath(c, CGRectInset(icon, 0.5, 8.5), 4);
            CGContextSetGrayStrokeColor(c, 0.6, 1);
            CGContextStrokePath(c);
        }
        if (!withLabel)
            return;
        CFStringRef text = cf::CreateString(cf::UTF16ToUTF8(SampleLabel(item)));
        ControlTheme::DrawText(c, text, { { cell.origin.x, cell.origin.y + 4 + kIcon + 4 }, { cell.size.width, 16 } },
            kThemeSmallSystemFont, 1, true);
        CFRelease(text);
    }

    // The strip of the toolbar's window, and the point given globally in its coordinates.
    View* StripOf(Toolbar* toolbar) { return toolbar ? toolbar->GetStrip() : nullptr; }

    bool ToStrip(View* strip, CGPoint global, CGPoint* local)
    {
        Window* window = strip ? strip->GetWindow() : nullptr;
        if (!window || !strip->IsVisible())
            return false;
        CGPoint const origin = strip->ToWindow({ 0, 0 });
        *local = { global.x - window->GetStructure().origin.x - origin.x,
            global.y - window->GetStructure().origin.y - origin.y };
        return CGRectContainsPoint(strip->GetBounds(), *local);
    }

    CGPoint ToGlobal(View* view, CGPoint p)
    {
        CGPoint const inWindow = view->ToWindow(p);
        Window* window = view->GetWindow();
        return window ? CGPoint { inWindow.x + window->GetStructure().origin.x, inWindow.y + window->GetStructure().origin.y }
                      : inWindow;
    }

    // Follows a press until the button comes up: the global point of the release, or
    // nothing when the drag was cancelled.
    bool TrackGlobalRelease(View* view, CGPoint* global)
    {
        Protector protect(view);
        HIPoint p {};
        if (!TrackRelease(view, &p))
            return false;
        *global = ToGlobal(view, p);
        return true;
    }

    // The allowed set (a grid) or the default set (one row, dragged as a whole).
    class SampleView : public controls::Behaviour {
    public:
        SampleView(View* view, Session* session, bool defaults)
            : Behaviour(view)
            , mSession(session)
            , mDefaults(defaults)
        {
        }

        std::vector<CGRect> Cells() const
        {
            std::vector<CGRect> cells;
            CGRect const b = mView->GetBounds();
            std::vector<Sample> const& samples = mDefaults ? mSession->defaults : mSession->allowed;
            if (mDefaults) {
                CGFloat const step
                    = std::min<CGFloat>(kIcon + 6, (b.size.width - 16) / CGFloat(std::max<std::size_t>(1, samples.size())));
                for (std::size_t i = 0; i < samples.size(); ++i)
                    cells.push_back({ { b.origin.x + 8 + CGFloat(i) * step, b.origin.y + 4 }, { step, kIcon + 8 } });
                return cells;
            }
            int const columns = std::max(1, int(b.size.width / kCell));
            for (std::size_t i = 0; i < samples.size(); ++i)
                cells.push_back({ { b.origin.x + CGFloat(int(i) % columns) * kCell,
                                      b.origin.y + CGFloat(int(i) / columns) * kCellHeight },
                    { kCell, kCellHeight } });
            return cells;
        }

    protected:
        OSStatus Draw(CGContextRef c) override
        {
            CGRect const b = mView->GetBounds();
            CGContextSetGrayFillColor(c, 0.99, 1);
            CGContextFillRect(c, b);
            CGContextSetGrayStrokeColor(c, 0.7, 1);
            CGContextStrokeRect(c, CGRectInset(b, 0.5, 0.5));
            std::vector<Sample> const& samples = mDefaults ? mSession->defaults : mSession->allowed;
            std::vector<CGRect> const cells = Cells();
            for (std::size_t i = 0; i < samples.size(); ++i)
                DrawSample(c, samples[i].item, cells[i], !mDefaults);
            return noErr;
        }

        ControlPartCode HitTest(CGPoint p) override { return CGRectContainsPoint(mView->GetBounds(), p) ? 1 : 0; }

        OSStatus Track(EventHandlerCallRef, EventRef event) override
        {
            HIPoint p {};
            GetEventParameter(event, kEventParamMouseLocation, typeHIPoint, nullptr, sizeof p, nullptr, &p);
            ControlPartCode const none = kControlNoPart;
            SetEventParameter(event, kEventParamControlPart, typeControlPartCode, sizeof none, &none);
            std::vector<CGRect> const cells = Cells();
            std::ptrdiff_t chosen = -1;
            for (std::size_t i = 0; i < cells.size(); ++i)
                if (CGRectContainsPoint(cells[i], p))
                    chosen = std::ptrdiff_t(i);
            if (chosen < 0 && !(mDefaults && !cells.empty()))
                return noErr;
            std::string const identifier = chosen >= 0 && !mDefaults ? mSession->allowed[std::size_t(chosen)].identifier
                                                                      : std::string();
            Session* const session = mSession;
            CGPoint global {};
            if (!TrackGlobalRelease(mView, &global))
                return noErr;
            Toolbar* toolbar = session->toolbar.Get();
            View* strip = StripOf(toolbar);
            CGPoint local {};
            if (!toolbar || !ToStrip(strip, global, &local))
                return noErr;
            if (mDefaults) {
                toolbar->ResetToDefault();
                return noErr;
            }
            ToolbarStrip* behaviour = ToolbarStrip::Find(strip);
            std::size_t const index = behaviour ? behaviour->IndexAt(local.x) : toolbar->GetItems().size();
            CFStringRef string = cf::CreateString(identifier);
            if (ToolbarItem* item = toolbar->CreateItem(string)) {
                toolbar->Insert(item, index); // refused when the toolbar has it and takes no duplicate
                item->Release();
            }
            CFRelease(string);
            return noErr;
        }

    private:
        Session* mSession; // the sheet's session outlives its views
        bool mDefaults;
    };

    constexpr EventTypeSpec kSampleEvents[] = {
        { kEventClassControl, kEventControlDraw },
        { kEventClassControl, kEventControlHitTest },
        { kEventClassControl, kEventControlTrack },
        { kEventClassHIObject, kEventHIObjectDestruct },
    };

    void AddSampleView(WindowRef sheet, Session* session, bool defaults, CGRect frame)
    {
        auto* view = new View(ObjectClass::Find("com.apple.hiview"));
        auto* behaviour = new SampleView(view, session, defaults);
        controls::InstallBehaviour(view, behaviour, std::size(kSampleEvents), kSampleEvents);
        view->SetFrame(frame);
        view->SetProperty('twtb', defaults ? 'dflt' : 'alwd', sizeof behaviour, &behaviour);
        sheet->GetContentView()->AddChild(view);
        view->Release();
    }

    void EndSession(Toolbar* toolbar)
    {
        auto it = Sessions().find(toolbar);
        if (it == Sessions().end())
            return;
        Session* session = it->second;
        Sessions().erase(it);
        if (Window* sheet = session->sheet.Get()) {
            HideSheetWindow(sheet);
            DisposeWindow(sheet);
        }
        // Last: the window, told the customising is over, finds itself without the sheet.
        if (toolbar)
            toolbar->SetCustomizing(false);
        ReleaseSamples(session->allowed);
        ReleaseSamples(session->defaults);
        delete session;
    }

    OSStatus SheetCommands(EventHandlerCallRef, EventRef event, void* data)
    {
        auto* toolbar = static_cast<Toolbar*>(data);
        HICommandExtended command {};
        GetEventParameter(event, kEventParamDirectObject, typeHICommand, nullptr, sizeof command, nullptr, &command);
        auto it = Sessions().find(toolbar);
        if (it == Sessions().end())
            return eventNotHandledErr;
        switch (command.commandID) {
        case kCommandMode: {
            Window* sheet = it->second->sheet.Get();
            ControlID const id { 'tbdm', 0 };
            ControlRef popup = nullptr;
            if (sheet && GetControlByID(sheet, &id, &popup) == noErr && toolbar)
                toolbar->SetDisplayMode(HIToolbarDisplayMode(GetControl32BitValue(popup)));
            return noErr;
        }
        case kCommandDone:
        case kHICommandCancel:
            dialogs::RunSoon([toolbar] { EndSession(toolbar); });
            return noErr;
        default:
            return eventNotHandledErr;
        }
    }

} // namespace

bool CanCustomize(Window* window)
{
    HIToolbarRef ref = nullptr;
    if (!window || GetWindowToolbar(window, &ref) != noErr || !ref || window->GetSheet())
        return false;
    Toolbar* toolbar = Toolbar::From(ref);
    return toolbar && (toolbar->GetAttributes() & kHIToolbarIsConfigurable) && IsWindowToolbarVisible(window)
        && !Sessions().count(toolbar);
}

bool IsCustomizedToolbarAt(Window* window, CGPoint local)
{
    HIToolbarRef ref = nullptr;
    if (!window || GetWindowToolbar(window, &ref) != noErr || !ref)
        return false;
    Toolbar* toolbar = Toolbar::From(ref);
    return toolbar && toolbar->IsCustomizing() && local.y >= window->GetTitleBarHeight()
        && local.y < window->GetContentTop();
}

Window* GetCustomizeSheet(Toolbar* toolbar)
{
    auto it = Sessions().find(toolbar);
    return it == Sessions().end() ? nullptr : it->second->sheet.Get();
}

OSStatus BeginCustomize(Window* window)
{
    if (!CanCustomize(window))
        return paramErr;
    HIToolbarRef ref = nullptr;
    GetWindowToolbar(window, &ref);
    Toolbar* toolbar = Toolbar::From(ref);
    auto* session = new Session;
    session->toolbar.Reset(toolbar);
    session->allowed = MakeSamples(toolbar, toolbar->GetAllowedIdentifiers(), true);
    session->defaults = MakeSamples(toolbar, toolbar->GetDefaultIdentifiers(), false);
    int const columns = int((kWidth - 2 * dialogs::kMargin) / kCell);
    int const rows = std::max(1, int((session->allowed.size() + std::size_t(columns) - 1) / std::size_t(columns)));
    SInt16 const paletteHeight = SInt16(rows * kCellHeight);
    SInt16 const height = SInt16(16 + 20 + paletteHeight + 12 + 20 + 48 + 16 + 24 + 20);
    WindowRef sheet = dialogs::MakeDialogWindow(true, kWidth, height, nullptr);
    if (!sheet) {
        ReleaseSamples(session->allowed);
        ReleaseSamples(session->defaults);
        delete session;
        return memFullErr;
    }
    session->sheet.Reset(sheet);
    Sessions()[toolbar] = session;
    int y = 16;
    CFStringRef text = dialogs::CopyText("ToolbarCustomizeDrag", "Drag items into the toolbar, along it, or out of it to remove them.");
    dialogs::AddText(sheet, dialogs::Box(dialogs::kMargin, y, kWidth - 2 * dialogs::kMargin, 18), text);
    CFRelease(text);
    y += 24;
    AddSampleView(sheet, session, false,
        { { CGFloat(dialogs::kMargin), CGFloat(y) }, { CGFloat(kWidth - 2 * dialogs::kMargin), CGFloat(paletteHeight) } });
    y += paletteHeight + 12;
    text = dialogs::CopyText("ToolbarCustomizeDefault", "Or drag the default set into the toolbar.");
    dialogs::AddText(sheet, dialogs::Box(dialogs::kMargin, y, kWidth - 2 * dialogs::kMargin, 18), text);
    CFRelease(text);
    y += 22;
    AddSampleView(sheet, session, true,
        { { CGFloat(dialogs::kMargin), CGFloat(y) }, { CGFloat(kWidth - 2 * dialogs::kMargin), kIcon + 12 } });
    y += int(kIcon) + 12 + 16;
    text = dialogs::CopyText("ToolbarCustomizeShow", "Show:");
    dialogs::AddText(sheet, dialogs::Box(dialogs::kMargin, y + 4, 50, 18), text);
    CFRelease(text);
    MenuRef menu = nullptr;
    CreateNewMenu(0, 0, &menu);
    for (char const* title : { "Icon & Text", "Icon Only", "Text Only" }) {
        CFStringRef item = cf::CreateString(title);
        AppendMenuItemTextWithCFString(menu, item, 0, 0, nullptr);
        CFRelease(item);
    }
    Rect const popupBox = dialogs::Box(dialogs::kMargin + 54, y, 180, dialogs::kButtonHeight);
    ControlRef popup = nullptr;
    CreatePopupButtonControl(sheet, &popupBox, nullptr, -12345, false, 0, 0, 0, &popup);
    SetControlPopupMenuHandle(popup, menu);
    ReleaseMenu(menu);
    SetControl32BitMaximum(popup, 3);
    SetControl32BitValue(popup, SInt32(toolbar->GetDisplayMode()));
    SetControlCommandID(popup, kCommandMode);
    ControlID const popupID { 'tbdm', 0 };
    SetControlID(popup, &popupID);
    CFStringRef done = dialogs::CopyText("ToolbarCustomizeDone", "Done");
    SInt16 const doneWidth = dialogs::ButtonWidth(done);
    ControlRef button = dialogs::AddButton(sheet,
        dialogs::Box(kWidth - dialogs::kMargin - doneWidth, y, doneWidth, dialogs::kButtonHeight), done, kCommandDone);
    CFRelease(done);
    SetWindowDefaultButton(sheet, button);
    SetWindowCancelButton(sheet, button);
    EventTypeSpec const command { kEventClassCommand, kEventCommandProcess };
    InstallEventHandler(GetWindowEventTarget(sheet), SheetCommands, 1, &command, toolbar, nullptr);
    toolbar->SetCustomizing(true);
    OSStatus const status = ShowSheetWindow(sheet, window);
    if (status != noErr)
        EndSession(toolbar);
    return status;
}

void ShowToolbarMenu(Toolbar* toolbar, CGPoint global)
{
    Window* window = toolbar ? toolbar->GetWindow() : nullptr;
    if (!window)
        return;
    MenuRef menu = nullptr;
    if (CreateNewMenu(0, 0, &menu) != noErr)
        return;
    struct Entry {
        char const* title;
        MenuCommand command;
    };
    for (Entry const& entry : { Entry { "Customize Toolbar\u2026", kHICommandCustomizeToolbar }, Entry { "-", 0 },
             Entry { "Icon & Text", kCommandIconAndText }, Entry { "Icon Only", kCommandIconOnly },
             Entry { "Text Only", kCommandTextOnly } }) {
        CFStringRef title = cf::CreateString(entry.title);
        AppendMenuItemTextWithCFString(
            menu, title, entry.command == 0 ? MenuItemAttributes(kMenuItemAttrSeparator) : 0, entry.command, nullptr);
        CFRelease(title);
    }
    if (!CanCustomize(window))
        DisableMenuItem(menu, 1);
    SetItemMark(menu, MenuItemIndex(2 + toolbar->GetDisplayMode()), checkMark);
    Protector protect(toolbar);
    UInt32 selectionType = 0;
    MenuID menuID = 0;
    MenuItemIndex chosen = 0;
    Point const at { SInt16(global.y), SInt16(global.x) };
    ContextualMenuSelect(menu, at, false, 0, nullptr, nullptr, &selectionType, &menuID, &chosen);
    MenuCommand command = 0;
    if (selectionType == kCMMenuItemSelected)
        GetMenuItemCommandID(menu, chosen, &command);
    ReleaseMenu(menu);
    if (toolbar->IsDisposed())
        return;
    switch (command) {
    case kHICommandCustomizeToolbar:
        BeginCustomize(window);
        break;
    case kCommandIconAndText:
    case kCommandIconOnly:
    case kCommandTextOnly:
        toolbar->SetDisplayMode(HIToolbarDisplayMode(command - kCommandIconAndText + 1));
        break;
    default:
        break;
    }
}

} // namespace tw::toolbox::toolbar
