#include "toolbox/toolbar/SearchFieldCalls.h"

#include "corefoundation/CFString.h"
#include "toolbox/HIObjectCalls.h"
#include "toolbox/controls/ControlsInternal.h"
#include "toolbox/toolbar/SearchField.h"

using tw::toolbox::toolbar::SearchField;

namespace {

SearchField* Find(HIViewRef field) { return dynamic_cast<SearchField*>(tw::toolbox::controls::FindBehaviour(field)); }

} // namespace

OSStatus HISearchFieldCreate(
    HIRect const* bounds, OptionBits attributes, MenuRef, CFStringRef descriptiveText, HIViewRef* outView)
{
    if (!outView)
        return paramErr;
    *outView = nullptr;
    if (!bounds)
        return paramErr;
    HIViewRef view = nullptr;
    if (OSStatus const status = tw::toolbox::controls::CreateSystemView("com.apple.HISearchField", *bounds, &view))
        return status;
    if (SearchField* field = Find(view)) {
        field->SetAttributes(attributes);
        if (descriptiveText)
            field->SetDescription(descriptiveText->Text());
    }
    *outView = view;
    return noErr;
}

OSStatus HISearchFieldGetAttributes(HIViewRef view, OptionBits* outAttributes)
{
    SearchField* field = Find(view);
    if (!field || !outAttributes)
        return paramErr;
    *outAttributes = field->GetAttributes();
    return noErr;
}

OSStatus HISearchFieldChangeAttributes(HIViewRef view, OptionBits set, OptionBits clear)
{
    SearchField* field = Find(view);
    if (!field)
        return paramErr;
    field->SetAttributes((field->GetAttributes() | set) & ~clear);
    return noErr;
}

OSStatus HISearchFieldSetDescriptiveText(HIViewRef view, CFStringRef text)
{
    SearchField* field = Find(view);
    if (!field)
        return paramErr;
    field->SetDescription(text ? text->Text() : std::u16string());
    return noErr;
}

OSStatus HISearchFieldCopyDescriptiveText(HIViewRef view, CFStringRef* outText)
{
    SearchField* field = Find(view);
    if (!field || !outText)
        return paramErr;
    *outText = tw::cf::CreateString(tw::cf::UTF16ToUTF8(field->GetDescription()));
    return noErr;
}
