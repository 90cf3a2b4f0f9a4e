#pragma once

// Navigation Services: open, save, choose-folder and the three ask dialogs
// (save changes, review documents, discard changes), drawn with our controls,
// as sheets on a parent window or as application-modal dialogs. A sheet's
// NavDialogRun returns at once; the answer comes through the event callback.

#include "services/AppleEvents.h"
#include "toolbox/WindowTypes.h"

namespace tw::toolbox::dialogs {
class NavDialog;
}
using NavDialogRef = tw::toolbox::dialogs::NavDialog*;

using NavEventCallbackMessage = SInt32;
enum : NavEventCallbackMessage {
    kNavCBEvent = 0,
    kNavCBCustomize = 1,
    kNavCBStart = 2,
    kNavCBTerminate = 3,
    kNavCBAdjustRect = 4,
    kNavCBNewLocation = 5,
    kNavCBShowDesktop = 6,
    kNavCBSelectEntry = 7,
    kNavCBPopupMenuSelect = 8,
    kNavCBAccept = 9,
    kNavCBCancel = 10,
    kNavCBAdjustPreview = 11,
    kNavCBUserAction = 12,
};

using NavUserAction = UInt32;
enum : NavUserAction {
    kNavUserActionNone = 0,
    kNavUserActionCancel = 1,
    kNavUserActionOpen = 2,
    kNavUserActionSaveAs = 3,
    kNavUserActionChoose = 4,
    kNavUserActionNewFolder = 5,
    kNavUserActionSaveChanges = 6,
    kNavUserActionDontSaveChanges = 7,
    kNavUserActionDiscardChanges = 8,
    kNavUserActionReviewDocuments = 9,
    kNavUserActionDiscardDocuments = 10,
};

using NavDialogOptionFlags = UInt32;
enum : NavDialogOptionFlags {
    kNavNoTypePopup = 1 << 0,
    kNavAllowMultipleFiles = 1 << 7,
    kNavAllowInvisibleFiles = 1 << 8,
    kNavSupportPackages = 1 << 12,
    kNavDontConfirmReplacement = 1 << 16,
    kNavPreserveSaveFileExtension = 1 << 17,
    kNavDefaultNavDlogOptions = kNavAllowMultipleFiles,
};

using NavAskSaveChangesAction = UInt32;
enum : NavAskSaveChangesAction {
    kNavSaveChangesOther = 0,
    kNavSaveChangesClosingDocument = 1,
    kNavSaveChangesQuittingApplication = 2,
};

using NavFilterModes = SInt16;
enum : NavFilterModes { kNavFilteringBrowserList = 0, kNavFilteringLocationPopup = 4 };

using NavCustomControlMessage = SInt32;
enum : NavCustomControlMessage { kNavCtlSetLocation = 4 };

using NavTranslationOptions = UInt32;
enum : NavTranslationOptions { kNavTranslateInPlace = 0 };

inline constexpr OSStatus kNavWrongDialogStateErr = -5694;
inline constexpr OSStatus kNavWrongDialogClassErr = -5695;
inline constexpr OSStatus kNavInvalidSystemConfigErr = -5696;

struct NavDialogCreationOptions {
    UInt16 version = 0;
    NavDialogOptionFlags optionFlags = kNavDefaultNavDlogOptions;
    Point location { -1, -1 };
    CFStringRef clientName = nullptr; // weak: the caller's, for the life of the dialog's creation call
    CFStringRef windowTitle = nullptr;
    CFStringRef actionButtonLabel = nullptr;
    CFStringRef cancelButtonLabel = nullptr;
    CFStringRef saveFileName = nullptr;
    CFStringRef message = nullptr;
    UInt32 preferenceKey = 0;
    CFArrayRef popupExtension = nullptr; // CFStrings: the type pop-up's titles
    WindowModality modality = kWindowModalityAppModal;
    WindowRef parentWindow = nullptr;
};

// selection: a list of file URL descriptors. saveFileName: owned by the record.
struct NavReplyRecord {
    UInt16 version = 0;
    Boolean validRecord = false;
    Boolean replacing = false;
    Boolean isStationery = false;
    Boolean translationNeeded = false;
    AEDescList selection {};
    CFStringRef saveFileName = nullptr;
    Boolean saveFileExtensionHidden = false;
};

struct NavMenuItemSpec {
    UInt16 version = 0;
    OSType menuCreator = 0;
    OSType menuType = 0; // the pop-up item's index
    Str255 menuItemName {};
};

struct NavCBRec {
    UInt16 version = 0;
    NavDialogRef context = nullptr;
    WindowRef window = nullptr;
    Rect customRect {};
    Rect previewRect {};
    struct {
        struct {
            EventRef event;
            void* param;
        } eventDataParms;
        SInt16 itemHit;
    } eventData {};
    NavUserAction userAction = kNavUserActionNone;
};
using NavCBRecPtr = NavCBRec*;

using NavEventProcPtr = void (*)(NavEventCallbackMessage selector, NavCBRecPtr params, void* userData);
using NavEventUPP = NavEventProcPtr;
using NavObjectFilterProcPtr = Boolean (*)(AEDesc* item, void* info, void* userData, NavFilterModes mode);
using NavObjectFilterUPP = NavObjectFilterProcPtr;
using NavPreviewUPP = void*;
using NavTypeListHandle = void*;

OSStatus NavGetDefaultDialogCreationOptions(NavDialogCreationOptions* outOptions);
OSStatus NavCreateGetFileDialog(NavDialogCreationOptions const* options, NavTypeListHandle typeList,
    NavEventUPP eventProc, NavPreviewUPP previewProc, NavObjectFilterUPP filterProc, void* userData,
    NavDialogRef* outDialog);
OSStatus NavCreatePutFileDialog(NavDialogCreationOptions const* options, OSType fileType, OSType creator,
    NavEventUPP eventProc, void* userData, NavDialogRef* outDialog);
OSStatus NavCreateChooseFolderDialog(NavDialogCreationOptions const* options, NavEventUPP eventProc,
    NavObjectFilterUPP filterProc, void* userData, NavDialogRef* outDialog);
OSStatus NavCreateAskSaveChangesDialog(NavDialogCreationOptions const* options, NavAskSaveChangesAction action,
    NavEventUPP eventProc, void* userData, NavDialogRef* outDialog);
OSStatus NavCreateAskReviewDocumentsDialog(NavDialogCreationOptions const* options, UInt32 documentCount,
    NavEventUPP eventProc, void* userData, NavDialogRef* outDialog);
OSStatus NavCreateAskDiscardChangesDialog(
    NavDialogCreationOptions const* options, NavEventUPP eventProc, void* userData, NavDialogRef* outDialog);

// App-modal: runs until answered (the callbacks fire inside). Sheet: shows it and returns.
OSStatus NavDialogRun(NavDialogRef dialog);
// Safe inside the dialog's own callback: the dialog goes once the callback returns.
void NavDialogDispose(NavDialogRef dialog);
WindowRef NavDialogGetWindow(NavDialogRef dialog);
NavUserAction NavDialogGetUserAction(NavDialogRef dialog);
OSStatus NavDialogGetReply(NavDialogRef dialog, NavReplyRecord* outReply);
OSStatus NavDisposeReply(NavReplyRecord* reply);
OSStatus NavCustomControl(NavDialogRef dialog, NavCustomControlMessage selector, void* parms);
// Our dialogs write nothing themselves: the caller has written the file.
OSStatus NavCompleteSave(NavReplyRecord* reply, NavTranslationOptions howToTranslate);
