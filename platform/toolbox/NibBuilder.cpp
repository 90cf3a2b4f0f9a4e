#include "toolbox/NibBuilder.h"

#include "toolbox/HIObjectCalls.h"
#include "toolbox/HIViewCalls.h"
#include "toolbox/Menu.h"
#include "toolbox/NibValues.h"
#include "toolbox/ToolboxErrors.h"
#include "toolbox/View.h"
#include "toolbox/Window.h"
#include "toolbox/WindowCalls.h"
#include "toolbox/controls/ControlDefinitions.h"

#include <cstdint>
#include <cstring>
#include <string>

namespace tw::toolbox {

// The first failing status ends the sequence.
#define TW_NIB_TRY(expr)                                                                                               \
    do {                                                                                                               \
        if (OSStatus const status_ = (expr); status_ != noErr)                                                         \
            return status_;                                                                                            \
    } while (false)

namespace {

    constexpr int kMaxDepth = 32; // nesting of views and submenus
    constexpr OSType kFontCreator = 'twnb'; // the theme font a nib names for a view: property ('twnb', 'font')

    std::vector<nib::Word> const kWindowClasses = {
        { "alert", kAlertWindowClass },
        { "movablealert", kMovableAlertWindowClass },
        { "modal", kModalWindowClass },
        { "movablemodal", kMovableModalWindowClass },
        { "floating", kFloatingWindowClass },
        { "document", kDocumentWindowClass },
        { "utility", kUtilityWindowClass },
        { "help", kHelpWindowClass },
        { "sheet", kSheetWindowClass },
        { "plain", kPlainWindowClass },
        { "overlay", kOverlayWindowClass },
        { "sheetalert", kSheetAlertWindowClass },
    };

    std::vector<nib::Word> const kWindowAttributes = {
        { "close", kWindowCloseBoxAttribute },
        { "zoom", kWindowFullZoomAttribute },
        { "collapse", kWindowCollapseBoxAttribute },
        { "resize", kWindowResizableAttribute },
        { "toolbar", kWindowToolbarButtonAttribute },
        { "no-activates", kWindowNoActivatesAttribute },
        { "compositing", kWindowCompositingAttribute },
        { "no-shadow", kWindowNoShadowAttribute },
        { "async-drag", kWindowAsyncDragAttribute },
        { "standard-handler", kWindowStandardHandlerAttribute },
        { "live-resize", kWindowLiveResizeAttribute },
        { "no-constrain", kWindowNoConstrainAttribute },
        { "standard-document", kWindowStandardDocumentAttributes },
        { "standard-floating", kWindowStandardFloatingAttributes },
    };

    std::vector<nib::Word> const kItemModifiers = {
        { "shift", kMenuShiftModifier },
        { "option", kMenuOptionModifier },
        { "control", kMenuControlModifier },
        { "nocommand", kMenuNoCommandModifier },
    };

    std::vector<nib::Word> const kFonts = {
        { "system", 0 },
        { "small", 1 },
        { "smallbold", 2 },
        { "views", 3 },
        { "bold", 4 },
        { "application", 5 },
        { "label", 6 },
        { "mini", 109 },
    };

    // A window's content rectangle is 16-bit: every edge must fit it.
    bool FitsWindowRect(CGRect bounds)
    {
        for (double edge : { bounds.origin.x, bounds.origin.y, CGRectGetMaxX(bounds), CGRectGetMaxY(bounds) })
            if (edge < INT16_MIN || edge > INT16_MAX)
                return false;
        return true;
    }

    bool Attr(pugi::xml_node node, char const* name, std::string_view* out)
    {
        pugi::xml_attribute const attribute = node.attribute(name);
        if (!attribute)
            return false;
        *out = attribute.value();
        return true;
    }

    // Bytes and event type of a typed value: <param> and <property> share these types.
    OSStatus ReadTyped(pugi::xml_node node, EventParamType* outType, std::vector<std::uint8_t>* outBytes)
    {
        std::string_view const type = node.attribute("type").as_string("string");
        std::string_view const text = node.text().as_string();
        auto put = [&](auto value, EventParamType t) {
            auto const* bytes = reinterpret_cast<std::uint8_t const*>(&value);
            outBytes->assign(bytes, bytes + sizeof value);
            *outType = t;
            return noErr;
        };
        SInt64 integer = 0;
        double number = 0;
        bool flag = false;
        OSType code = 0;
        CGRect rect {};
        if (type == "string") {
            std::u16string const utf16 = cf::UTF8ToUTF16(text);
            auto const* bytes = reinterpret_cast<std::uint8_t const*>(utf16.data());
            outBytes->assign(bytes, bytes + utf16.size() * sizeof(char16_t));
            *outType = typeUnicodeText;
            return noErr;
        }
        if ((type == "uint32" || type == "sint32") && nib::ReadInteger(text, &integer))
            return type == "uint32" ? put(static_cast<UInt32>(integer), typeUInt32)
                                    : put(static_cast<SInt32>(integer), typeSInt32);
        if (type == "bool" && nib::ReadBool(text, &flag))
            return put(static_cast<Boolean>(flag), typeBoolean);
        if (type == "double" && nib::ReadNumber(text, &number))
            return put(number, typeIEEE64BitFloatingPoint);
        if (type == "code" && nib::ReadCode(text, &code))
            return put(code, typeType);
        if (type == "rect" && nib::ReadRect(text, &rect))
            return put(rect, typeHIRect);
        return nibMalformedErr;
    }

    // The initialise event: the frame as 'boun' and every <param>.
    OSStatus MakeInitEvent(pugi::xml_node node, CGRect frame, EventRef* outEvent, std::vector<CFStringRef>* strings)
    {
        EventRef event = nullptr;
        CreateEvent(nullptr, kEventClassHIObject, kEventHIObjectInitialize, GetCurrentEventTime(), 0, &event);
        SetEventParameter(event, kEventParamInitialBounds, typeHIRect, sizeof frame, &frame);
        for (pugi::xml_node param : node.children("param")) {
            OSType name = 0;
            EventParamType type = 0;
            std::vector<std::uint8_t> bytes;
            if (!nib::ReadCode(param.attribute("name").as_string(), &name)
                || ReadTyped(param, &type, &bytes) != noErr) {
                ReleaseEvent(event);
                return nibMalformedErr;
            }
            if (type == typeUnicodeText) {
                CFStringRef text = nib::CreateText(param.text().as_string());
                strings->push_back(text);
                SetEventParameter(event, name, typeCFStringRef, sizeof text, &text);
            } else {
                SetEventParameter(event, name, type, bytes.size(), bytes.data());
            }
        }
        *outEvent = event;
        return noErr;
    }

} // namespace

OSStatus NibBuilder::BuildWindow(pugi::xml_node node, Window** outWindow)
{
    *outWindow = nullptr;
    UInt32 windowClass = std::strcmp(node.name(), "panel") == 0 ? kPlainWindowClass : kDocumentWindowClass;
    UInt32 attributes = 0;
    CGRect bounds {};
    std::string_view text;
    if ((Attr(node, "class", &text) && !nib::ReadWords(text, kWindowClasses, &windowClass))
        || (Attr(node, "attributes", &text) && !nib::ReadWords(text, kWindowAttributes, &attributes))
        || !Attr(node, "bounds", &text) || !nib::ReadRect(text, &bounds) || !FitsWindowRect(bounds))
        return nibMalformedErr;
    Rect const content { static_cast<SInt16>(bounds.origin.y), static_cast<SInt16>(bounds.origin.x),
        static_cast<SInt16>(bounds.origin.y + bounds.size.height),
        static_cast<SInt16>(bounds.origin.x + bounds.size.width) };
    WindowRef window = nullptr;
    OSStatus status = CreateNewWindow(windowClass, attributes, &content, &window);
    if (status != noErr)
        return status;
    if (Attr(node, "title", &text)) {
        CFStringRef title = nib::CreateText(text);
        window->SetTitle(title);
        CFRelease(title);
    }
    for (pugi::xml_node child : node.children("view")) {
        status = BuildView(child, window->GetContentView(), window, 0);
        if (status != noErr) {
            DisposeWindow(window);
            return status;
        }
    }
    *outWindow = window;
    return noErr;
}

OSStatus NibBuilder::BuildView(pugi::xml_node node, View* parent, Window* window, int depth)
{
    if (depth > kMaxDepth)
        return nibMalformedErr;
    std::string const classID = node.attribute("class").as_string("com.apple.HIUserPane");
    CGRect frame {};
    std::string_view text;
    if (Attr(node, "frame", &text) && !nib::ReadRect(text, &frame))
        return nibMalformedErr;
    EventRef init = nullptr;
    std::vector<CFStringRef> strings;
    OSStatus status = MakeInitEvent(node, frame, &init, &strings);
    if (status != noErr)
        return status;
    CFStringRef classText = nib::CreateText(classID);
    HIObjectRef object = nullptr;
    status = HIObjectCreate(classText, init, &object);
    CFRelease(classText);
    ReleaseEvent(init);
    for (CFStringRef s : strings)
        CFRelease(s);
    if (status != noErr)
        return status;
    View* view = LiveView(object);
    if (!view) {
        object->Dispose();
        object->Release();
        return kIBCarbonRuntimeObjectNotOfRequestedType;
    }
    parent->AddChild(view);
    view->Release();
    TW_NIB_TRY(ApplyViewAttributes(node, view, window));
    if (pugi::xml_node items = node.child("menu")) {
        if (classID != "com.apple.HIPopupButton")
            return nibMalformedErr;
        TW_NIB_TRY(ApplyPopupMenu(node, items, view, depth));
    }
    for (pugi::xml_node child : node.children("view"))
        TW_NIB_TRY(BuildView(child, view, window, depth + 1));
    return noErr;
}

// A <menu> inside a view is its popup menu, items with their commands; only a popup takes one.
OSStatus NibBuilder::ApplyPopupMenu(pugi::xml_node node, pugi::xml_node items, View* view, int depth)
{
    Menu* menu = nullptr;
    TW_NIB_TRY(BuildMenuAt(items, &menu, depth + 1));
    MenuRef ref = menu;
    // The nib's value was kept within a range the menu had not given yet: read it again.
    SInt64 value = view->Values().value;
    std::string_view text;
    if (Attr(node, "value", &text))
        nib::ReadInteger(text, &value); // checked when the attributes were applied
    OSStatus const status
        = SetControlData(view, kControlEntireControl, kControlPopupButtonMenuRefTag, sizeof ref, &ref);
    menu->Release();
    if (status != noErr)
        return nibMalformedErr;
    view->SetValue(static_cast<SInt32>(value));
    return noErr;
}

OSStatus NibBuilder::ApplyViewAttributes(pugi::xml_node node, View* view, Window* window)
{
    std::string_view text;
    ControlValues& values = view->Values();
    SInt64 number = 0;
    bool flag = false;
    if (Attr(node, "id", &text) && !nib::ReadControlID(text, &values.id))
        return nibMalformedErr;
    if (Attr(node, "command", &text) && !nib::ReadCode(text, &values.command))
        return nibMalformedErr;
    if (Attr(node, "kind", &text)
        && (text.size() != 9 || !nib::ReadCode(text.substr(0, 4), &values.kindSignature)
            || !nib::ReadCode(text.substr(5), &values.kind)))
        return nibMalformedErr;
    for (auto [name, field] : { std::pair { "min", &values.minimum }, { "max", &values.maximum } }) {
        if (Attr(node, name, &text)) {
            if (!nib::ReadInteger(text, &number) || number < INT32_MIN || number > INT32_MAX)
                return nibMalformedErr;
            *field = static_cast<SInt32>(number);
        }
    }
    if (Attr(node, "value", &text)) {
        if (!nib::ReadInteger(text, &number) || number < INT32_MIN || number > INT32_MAX)
            return nibMalformedErr;
        view->SetValue(static_cast<SInt32>(number));
    }
    if (Attr(node, "title", &text)) {
        CFStringRef title = nib::CreateText(text);
        view->SetTitle(title);
        CFRelease(title);
    }
    if (Attr(node, "layout", &text)) {
        HILayoutInfo layout {};
        if (!nib::ReadLayout(text, &layout))
            return nibMalformedErr;
        view->SetLayout(layout);
    }
    if (Attr(node, "font", &text)) {
        UInt32 font = 0;
        if (!nib::ReadWords(text, kFonts, &font))
            return nibMalformedErr;
        UInt16 const id = static_cast<UInt16>(font);
        view->SetProperty(kFontCreator, 'font', sizeof id, &id);
    }
    for (auto [name, extended] : { std::pair { "help", 0 }, { "help-extended", 1 } }) {
        if (Attr(node, name, &text)) {
            HMHelpContentRec help = view->GetHelp();
            help.version = kMacHelpVersion;
            for (HMHelpContent& content : help.content)
                if (content.contentType == 0)
                    content.contentType = kHMNoContent;
            CFStringRef tag = nib::CreateText(text);
            if (help.content[extended].contentType != kHMCFStringContent)
                help.content[extended].u.tagCFString = nullptr;
            help.content[extended].contentType = kHMCFStringContent;
            help.content[extended].u.tagCFString = tag;
            view->SetHelp(help);
            CFRelease(tag);
        }
    }
    if (Attr(node, "enabled", &text)) {
        if (!nib::ReadBool(text, &flag))
            return nibMalformedErr;
        view->SetEnabled(flag);
    }
    if (Attr(node, "visible", &text)) {
        if (!nib::ReadBool(text, &flag))
            return nibMalformedErr;
        view->SetVisible(flag);
    }
    if (node.attribute("default").as_bool())
        window->SetDefaultButton(view);
    if (node.attribute("cancel").as_bool())
        window->SetCancelButton(view);
    return ApplyProperties(node, view);
}

OSStatus NibBuilder::ApplyProperties(pugi::xml_node node, View* view)
{
    for (pugi::xml_node property : node.children("property")) {
        OSType creator = 0, tag = 0;
        EventParamType type = 0;
        std::vector<std::uint8_t> bytes;
        if (!nib::ReadCode(property.attribute("creator").as_string(), &creator)
            || !nib::ReadCode(property.attribute("tag").as_string(), &tag)
            || ReadTyped(property, &type, &bytes) != noErr)
            return nibMalformedErr;
        view->SetProperty(creator, tag, bytes.size(), bytes.data());
    }
    return noErr;
}

OSStatus NibBuilder::BuildMenu(pugi::xml_node node, Menu** outMenu) { return BuildMenuAt(node, outMenu, 0); }

OSStatus NibBuilder::BuildMenuAt(pugi::xml_node node, Menu** outMenu, int depth)
{
    *outMenu = nullptr;
    SInt64 id = 0;
    std::string_view text;
    if (depth > kMaxDepth
        || (Attr(node, "id", &text) && (!nib::ReadInteger(text, &id) || id < INT16_MIN || id > INT16_MAX)))
        return nibMalformedErr;
    auto* menu = new Menu(static_cast<MenuID>(id), 0);
    menu->SetListsWindows(node.attribute("windows").as_bool());
    if (Attr(node, "title", &text)) {
        CFStringRef title = nib::CreateText(text);
        menu->SetTitle(title);
        CFRelease(title);
    }
    OSStatus const status = BuildItems(node, menu, depth);
    if (status != noErr) {
        menu->Release();
        return status;
    }
    *outMenu = menu;
    return noErr;
}

OSStatus NibBuilder::BuildItems(pugi::xml_node node, Menu* menu, int depth)
{
    for (pugi::xml_node child : node.children()) {
        if (std::strcmp(child.name(), "separator") == 0) {
            menu->Insert(static_cast<MenuItemIndex>(menu->Count()), nullptr, kMenuItemAttrSeparator, 0);
            continue;
        }
        if (std::strcmp(child.name(), "item") != 0)
            continue;
        std::string_view text;
        CFStringRef title = nib::CreateText(child.attribute("title").as_string());
        MenuItemIndex const index = menu->Insert(static_cast<MenuItemIndex>(menu->Count()), title, 0, 0);
        CFRelease(title);
        MenuItem& item = *menu->Item(index);
        UInt32 modifiers = 0;
        SInt64 indent = 0;
        if ((Attr(child, "command", &text) && !nib::ReadCode(text, &item.command))
            || (Attr(child, "modifiers", &text) && !nib::ReadWords(text, kItemModifiers, &modifiers))
            || (Attr(child, "indent", &text) && (!nib::ReadInteger(text, &indent) || indent < 0 || indent > 16)))
            return nibMalformedErr;
        item.modifiers = static_cast<UInt8>(modifiers);
        item.indent = static_cast<UInt32>(indent);
        if (Attr(child, "key", &text)) {
            std::u16string const key = cf::UTF8ToUTF16(text);
            if (key.size() != 1)
                return nibMalformedErr;
            item.key = key[0];
        }
        item.enabled = !child.attribute("disabled").as_bool();
        if (child.attribute("header").as_bool())
            item.attributes |= kMenuItemAttrSectionHeader;
        if (child.attribute("hidden").as_bool())
            item.attributes |= kMenuItemAttrHidden;
        if (Attr(child, "mark", &text))
            item.mark = text == "check" ? checkMark : text == "diamond" ? diamondMark : noMark;
        if (pugi::xml_node sub = child.child("menu")) {
            Menu* submenu = nullptr;
            TW_NIB_TRY(BuildMenuAt(sub, &submenu, depth + 1));
            menu->SetSubmenu(*menu->Item(index), submenu);
            submenu->Release();
        }
    }
    return noErr;
}

OSStatus NibBuilder::BuildMenuBar(pugi::xml_node node, Menu** outRoot)
{
    auto* root = new Menu(0, 0);
    for (pugi::xml_node child : node.children("menu")) {
        Menu* menu = nullptr;
        OSStatus const status = BuildMenuAt(child, &menu, 1);
        if (status != noErr) {
            root->Release();
            return status;
        }
        MenuItemIndex const index = root->Insert(static_cast<MenuItemIndex>(root->Count()), menu->GetTitle(), 0, 0);
        root->SetSubmenu(*root->Item(index), menu);
        menu->Release();
    }
    *outRoot = root;
    return noErr;
}

} // namespace tw::toolbox
