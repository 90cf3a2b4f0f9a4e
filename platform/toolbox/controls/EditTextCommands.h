#pragma once

// The clipboard and the Edit menu's commands as every text field answers them:
// whether a command can act now (the menu's status), copying the selection to
// the clipboard and reading text from it.

#include "toolbox/HIToolboxTypes.h"

#include <functional>
#include <string>

namespace tw::toolbox::controls {

class EditTextModel;

struct EditTextAccess {
    bool locked = false; // the text never changes
    bool password = false; // the text never leaves the field
};

bool CanEditText(EditTextModel const& model, MenuCommand command, EditTextAccess access);
void CopyEditText(EditTextModel const& model, EditTextAccess access);
// The clipboard's text, Unicode first; false when it holds none.
bool CopyScrapText(std::u16string* text);

// A command event for a focused field: Cut, Copy, Paste, Clear and Select All are
// processed by `run` and their menu items enabled by `can`; other commands are
// left unhandled.
OSStatus HandleEditCommand(
    EventRef event, std::function<bool(MenuCommand)> const& can, std::function<bool(MenuCommand)> const& run);

} // namespace tw::toolbox::controls
