#pragma once

// What the event core and the services share with the toolbox above them: the
// references of the objects that own event targets (opaque here), the command
// record and its codes, the event classes, and the kinds and parameter type of
// command events. Values are Carbon's, since stored and dispatched codes depend
// on them.

#include "events/CarbonEvents.h"

namespace tw::toolbox {
class HIObject;
class Window;
class View;
class Menu;
} // namespace tw::toolbox

using HIObjectRef = tw::toolbox::HIObject*;
using WindowRef = tw::toolbox::Window*;
using HIViewRef = tw::toolbox::View*;
using ControlRef = HIViewRef;
using MenuRef = tw::toolbox::Menu*;

using MenuCommand = UInt32;
using MenuItemIndex = UInt16;

// A command as menus, controls and key equivalents deliver it.
struct HICommand {
    UInt32 attributes;
    UInt32 commandID;
    struct {
        MenuRef menuRef;
        MenuItemIndex menuItemIndex;
    } menu;
};

struct HICommandExtended {
    UInt32 attributes;
    UInt32 commandID;
    union {
        ControlRef control;
        WindowRef window;
        struct {
            MenuRef menuRef;
            MenuItemIndex menuItemIndex;
        } menu;
        HIObjectRef hiObject;
    } source;
};

enum : UInt32 {
    kHICommandFromMenu = 1 << 0,
    kHICommandFromControl = 1 << 1,
    kHICommandFromWindow = 1 << 2,
};

enum : MenuCommand {
    kHICommandOK = 'ok  ',
    kHICommandCancel = 'not!',
    kHICommandQuit = 'quit',
    kHICommandClose = 'clos',
    kHICommandNew = 'new ',
    kHICommandOpen = 'open',
    kHICommandSave = 'save',
    kHICommandPrint = 'prnt',
    kHICommandAbout = 'abou',
    kHICommandPreferences = 'pref',
    kHICommandUndo = 'undo',
    kHICommandCut = 'cut ',
    kHICommandCopy = 'copy',
    kHICommandPaste = 'past',
    kHICommandClear = 'clea',
    kHICommandSelectAll = 'sall',
    kHICommandRedo = 'redo',
    // The standard Window menu's.
    kHICommandMinimizeWindow = 'mini',
    kHICommandZoomWindow = 'zoom',
    kHICommandArrangeInFront = 'frnt',
    kHICommandSelectWindow = 'swin',
    kHICommandRotateWindowsForward = 'rotw',
    kHICommandRotateWindowsBackward = 'rotb',
};

// Event classes.
enum : EventClass {
    kEventClassMouse = 'mous',
    kEventClassKeyboard = 'keyb',
    kEventClassTextInput = 'text',
    kEventClassApplication = 'appl',
    kEventClassAppleEvent = 'eppc',
    kEventClassMenu = 'menu',
    kEventClassWindow = 'wind',
    kEventClassControl = 'cntl',
    kEventClassCommand = 'cmds',
    kEventClassTablet = 'tblt',
    kEventClassVolume = 'vol ',
    kEventClassAppearance = 'appm',
    kEventClassService = 'serv',
    kEventClassToolbar = 'tbar',
    kEventClassToolbarItem = 'tbit',
    kEventClassToolbarItemView = 'tbiv',
    kEventClassAccessibility = 'acce',
    kEventClassHIObject = 'hiob',
    kEventClassScrollable = 'scrl',
    kEventClassSearchField = 'srfd',
    kEventClassTextField = 'txfd',
    kEventClassHIComboBox = 'hicb',
    kEventClassInk = 'ink ',
};

// Kinds of kEventClassCommand; those of the other classes are with their owners.
enum : EventKind {
    kEventCommandProcess = 1,
    kEventCommandUpdateStatus = 2,
};

enum : EventParamType {
    typeHICommand = 'hcmd',
};

// Event targets of toolbox objects: the toolbox makes each object's target with
// the object as its owner, and these calls find it (null when it has none).
EventTargetRef GetWindowEventTarget(WindowRef window);
EventTargetRef GetControlEventTarget(ControlRef control);
EventTargetRef GetMenuEventTarget(MenuRef menu);
EventTargetRef HIObjectGetEventTarget(HIObjectRef object);
