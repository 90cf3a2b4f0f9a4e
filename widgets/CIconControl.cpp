#include "widgets/CIconControl.h"

#include "foundation/CFile.h"
#include "foundation/CFileUtilities.h"

namespace {

constexpr OSType kNibPropertyCreator = 'pelp';
constexpr OSType kNibIconTag = 'icon';
constexpr ControlPartCode kIconContentPart = 7;

} // namespace

// A missing or unreadable icon file leaves the view as the nib made it.
CIconControl::CIconControl(HIObjectRef object)
    : CControl(object)
{
    CString name;
    if (GetControlProperty(kNibPropertyCreator, kNibIconTag, name) != noErr || name.IsEmpty())
        return;
    CFile const file = CFileUtilities::GetBundleResource(name, CString(), CString());
    if (!file.IsSpecified())
        return;
    CIconRef const icon(file, true, 0, 0);
    if (icon.IsValid())
        SetIcon(icon);
}

void CIconControl::SetIcon(CIconRef const& icon)
{
    mIcon = icon;
    ControlButtonContentInfo info;
    info.contentType = kControlContentIconRef;
    info.u.iconRef = mIcon.GetIconRef();
    SetControlData(kIconContentPart, kControlIconContentTag, sizeof info, &info);
}
