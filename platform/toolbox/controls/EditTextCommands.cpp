#include "toolbox/controls/EditTextCommands.h"

#include "corefoundation/CFString.h"
#include "services/Scrap.h"
#include "toolbox/MenuCalls.h"
#include "toolbox/controls/EditTextModel.h"

namespace tw::toolbox::controls {

bool CanEditText(EditTextModel const& model, MenuCommand command, EditTextAccess access)
{
    bool const selected = model.HasSelection();
    switch (command) {
    case kHICommandCut:
        return selected && !access.locked && !access.password;
    case kHICommandCopy:
        return selected && !access.password;
    case kHICommandClear:
        return selected && !access.locked;
    case kHICommandPaste: {
        ScrapRef scrap = nullptr;
        Size size = 0;
        return !access.locked && GetCurrentScrap(&scrap) == noErr
            && (GetScrapFlavorSize(scrap, kScrapFlavorTypeUnicode, &size) == noErr
                || GetScrapFlavorSize(scrap, kScrapFlavorTypeText, &size) == noErr);
    }
    case kHICommandSelectAll:
        return !model.Text().empty();
    default:
        return false;
    }
}

void CopyEditText(EditTextModel const& model, EditTextAccess access)
{
    if (!model.HasSelection() || access.password)
        return;
    std::u16string const text = model.SelectedText();
    std::string const utf8 = cf::UTF16ToUTF8(text);
    ScrapRef scrap = nullptr;
    ClearCurrentScrap();
    if (GetCurrentScrap(&scrap) != noErr)
        return;
    PutScrapFlavor(
        scrap, kScrapFlavorTypeUnicode, kScrapFlavorMaskNone, static_cast<Size>(text.size() * 2), text.data());
    PutScrapFlavor(scrap, kScrapFlavorTypeText, kScrapFlavorMaskNone, static_cast<Size>(utf8.size()), utf8.data());
}

bool CopyScrapText(std::u16string* text)
{
    ScrapRef scrap = nullptr;
    Size size = 0;
    if (GetCurrentScrap(&scrap) != noErr)
        return false;
    if (GetScrapFlavorSize(scrap, kScrapFlavorTypeUnicode, &size) == noErr) {
        text->assign(static_cast<std::size_t>(size) / 2, u'\0');
        size = static_cast<Size>(text->size() * 2);
        GetScrapFlavorData(scrap, kScrapFlavorTypeUnicode, &size, text->data());
        return true;
    }
    if (GetScrapFlavorSize(scrap, kScrapFlavorTypeText, &size) == noErr) {
        std::string utf8(static_cast<std::size_t>(size), '\0');
        GetScrapFlavorData(scrap, kScrapFlavorTypeText, &size, utf8.data());
        *text = cf::UTF8ToUTF16(utf8);
        return true;
    }
    return false;
}

OSStatus HandleEditCommand(
    EventRef event, std::function<bool(MenuCommand)> const& can, std::function<bool(MenuCommand)> const& run)
{
    HICommandExtended command {};
    if (GetEventClass(event) != kEventClassCommand
        || GetEventParameter(event, kEventParamDirectObject, typeHICommand, nullptr, sizeof command, nullptr, &command)
            != noErr)
        return eventNotHandledErr;
    bool const known = command.commandID == kHICommandCut || command.commandID == kHICommandCopy
        || command.commandID == kHICommandPaste || command.commandID == kHICommandClear
        || command.commandID == kHICommandSelectAll;
    if (!known)
        return eventNotHandledErr;
    if (GetEventKind(event) == kEventCommandProcess)
        return run(command.commandID) ? OSStatus { noErr } : OSStatus { eventNotHandledErr };
    if (command.attributes & kHICommandFromMenu) {
        MenuRef const menu = command.source.menu.menuRef;
        MenuItemIndex const item = command.source.menu.menuItemIndex;
        can(command.commandID) ? EnableMenuItem(menu, item) : DisableMenuItem(menu, item);
    }
    return noErr;
}

} // namespace tw::toolbox::controls
