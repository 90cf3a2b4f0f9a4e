#include "foundation/CFileUtilities.h"
#include "foundation/StCFRef.h"
#include "framework/CFileDialog.h"
#include "toolbox/dialogs/UniformTypes.h"

#include <algorithm>
#include <string>

void CFileDialog::NavEvent(NavEventCallbackMessage selector, NavCBRecPtr params, void* userData)
{
    if (auto* self = static_cast<CFileDialog*>(userData))
        self->HandleNavEvent(selector, params);
}

Boolean CFileDialog::NavFilter(AEDesc* item, void*, void* userData, NavFilterModes mode)
{
    auto* self = static_cast<CFileDialog*>(userData);
    return self && self->Filter(item, mode);
}

void CFileDialog::HandleNavEvent(NavEventCallbackMessage selector, NavCBRecPtr params)
{
    if (selector == kNavCBTerminate || !params)
        return;
    if (selector == kNavCBUserAction && params->userAction == kNavUserActionNone)
        return;
    std::shared_ptr<bool> const alive = mAlive;
    MsgNavEvent event { this, selector, params };
    BroadcastMessage(kMsgNavEvent, &event);
    if (!*alive)
        return;
    if (selector == kNavCBPopupMenuSelect) {
        if (auto const* spec = static_cast<NavMenuItemSpec const*>(params->eventData.eventDataParms.param))
            mSelectedPopupItem = spec->menuType;
        return;
    }
    if (selector != kNavCBUserAction)
        return;
    // The finished dialog and its reply are kept here: a listener may start the next
    // dialog (and so reuse the members) or destroy this object.
    NavDialogRef const finished = params->context;
    NavReplyRecord reply;
    bool haveReply = false;
    FileDialogResult result { this, nullptr, params->userAction, {}, {} };
    if (params->userAction >= kNavUserActionOpen && params->userAction <= kNavUserActionNewFolder
        && NavDialogGetReply(finished, &reply) == noErr) {
        haveReply = true;
        result.reply = &reply;
        CFileUtilities::GetNavReplyFile(reply, result.file);
        CFileUtilities::GetNavReplyFiles(reply, result.files);
    }
    if (mDialog == finished)
        mDialog = nullptr;
    mResult = result;
    mResult.reply = nullptr;
    BroadcastMessage(kMsgFileDialogResult, &result);
    if (haveReply)
        NavDisposeReply(&reply);
    NavDialogDispose(finished);
}

bool CFileDialog::Filter(AEDesc const* item, NavFilterModes mode)
{
    CFile file;
    if (CFileUtilities::GetAEDescFile(item, file) != noErr || !file.Exists())
        return false;
    if (file.DirectoryExists())
        return true; // folders stay, so the dialog can always be navigated
    if (!mTypeList.IsEmpty()) {
        CString const chosen
            = mSelectedPopupItem < mTypeList.GetCount() ? mTypeList.GetAt(mSelectedPopupItem) : CString(kAllFilesUTI);
        if (!chosen.EqualNoCase(CString(kAllFilesUTI))) {
            CString const extension = file.GetExtension();
            StCFRef<CFStringRef> uti;
            if (extension.IsNotEmpty()) {
                uti.Replace(UTTypeCreatePreferredIdentifierForTag(
                    kUTTagClassFilenameExtension, extension.GetCFString(), nullptr));
            } else {
                OSType const type = file.GetFileType();
                char const code[5] = { char(type >> 24), char(type >> 16), char(type >> 8), char(type), 0 };
                uti.Replace(
                    UTTypeCreatePreferredIdentifierForTag(kUTTagClassOSType, CString(code).GetCFString(), nullptr));
            }
            // One entry of the menu may stand for several types: "a,b".
            bool conforms = false;
            std::string const names = chosen.GetStdString();
            for (std::size_t start = 0; start <= names.size() && !conforms;) {
                std::size_t const comma = std::min(names.find(',', start), names.size());
                CString const one(names.substr(start, comma - start).c_str());
                conforms = uti.IsValid() && UTTypeConformsTo(uti, one.GetCFString());
                start = comma + 1;
            }
            if (!conforms)
                return false;
        }
    }
    MsgNavFilter message { this, file, static_cast<UInt16>(mode), true };
    BroadcastMessage(kMsgNavFilter, &message);
    return message.accept;
}
