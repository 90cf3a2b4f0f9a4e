#include "toolbox/controls/EditTextData.h"

#include "corefoundation/CFString.h"
#include "toolbox/controls/ControlBehaviour.h"
#include "toolbox/controls/ControlDefinitions.h"
#include "toolbox/controls/EditTextModel.h"

#include <cstring>
#include <string_view>

namespace tw::toolbox::controls {

OSStatus SetEditText(EditTextModel& model, OSType tag, Size size, void const* data)
{
    switch (tag) {
    case kControlEditTextCFStringTag: {
        CFStringRef text = nullptr;
        if (OSStatus const status = Behaviour::Read(size, data, &text); status != noErr)
            return status;
        model.SetText(text ? text->Text() : std::u16string());
        return noErr;
    }
    case kControlEditTextTextTag:
        if (size < 0 || (size > 0 && !data))
            return paramErr;
        model.SetText(
            cf::UTF8ToUTF16(std::string_view(static_cast<char const*>(data), static_cast<std::size_t>(size))));
        return noErr;
    default:
        return eventNotHandledErr;
    }
}

OSStatus GetEditText(EditTextModel const& model, OSType tag, Size bufferSize, void* data, Size* actualSize)
{
    switch (tag) {
    case kControlEditTextCFStringTag: {
        if (!data)
            return Behaviour::Write(CFStringRef {}, bufferSize, data, actualSize);
        CFStringRef copy = cf::CreateString(cf::UTF16ToUTF8(model.Text()));
        OSStatus const status = Behaviour::Write(copy, bufferSize, data, actualSize);
        if (status != noErr)
            CFRelease(copy);
        return status;
    }
    case kControlEditTextTextTag: {
        std::string const text = cf::UTF16ToUTF8(model.Text());
        *actualSize = static_cast<Size>(text.size());
        if (data && bufferSize < *actualSize)
            return Behaviour::errDataSizeMismatchStatus;
        if (data)
            std::memcpy(data, text.data(), text.size());
        return noErr;
    }
    default:
        return eventNotHandledErr;
    }
}

} // namespace tw::toolbox::controls
