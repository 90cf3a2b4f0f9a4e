#include "corefoundation/CFString.h"
#include "toolbox/controls/Behaviours.h"
#include "toolbox/controls/ButtonContent.h"
#include "toolbox/controls/ControlBehaviour.h"
#include "toolbox/controls/ControlTheme.h"
#include "toolbox/controls/ControlsInternal.h"

namespace tw::toolbox::controls {

namespace {

    // Static text: the title, wrapped to the width, in the view's theme font.
    class StaticTextBehaviour : public Behaviour {
    public:
        using Behaviour::Behaviour;

    protected:
        OSStatus Draw(CGContextRef c) override
        {
            CFStringRef text = mView->GetTitle();
            if (!text)
                return noErr;
            HIThemeTextInfo info {};
            info.fontID = ThemeFontOf(mView);
            info.horizontalFlushness = JustificationOf(mView);
            CGRect const box = mView->GetBounds();
            CGContextSaveGState(c);
            CGContextSetGrayFillColor(c, mView->IsEnabled() ? 0.1 : 0.6, 1);
            HIThemeDrawTextBox(text, &box, &info, c, kHIThemeOrientationNormal);
            CGContextRestoreGState(c);
            return noErr;
        }

        ControlPartCode HitTest(CGPoint) override { return kControlNoPart; }

        OSStatus SetData(ControlPartCode, OSType tag, Size size, void const* data) override
        {
            if (tag != kControlStaticTextCFStringTag)
                return eventNotHandledErr;
            CFStringRef text = nullptr;
            TW_RETURN_STATUS(Read(size, data, &text));
            mView->SetTitle(text);
            return noErr;
        }

        OSStatus GetData(ControlPartCode, OSType tag, Size bufferSize, void* data, Size* actualSize) override
        {
            return GetTitleData(mView, tag, bufferSize, data, actualSize);
        }
    };

    // A group box: a rounded frame with its title on the top edge; clicks go to what it holds.
    class GroupBoxBehaviour : public Behaviour {
    public:
        using Behaviour::Behaviour;

    protected:
        OSStatus Draw(CGContextRef c) override
        {
            Boolean primary = true;
            mView->GetProperty('twbh', 'prim', sizeof primary, nullptr, &primary);
            ControlTheme::DrawGroupBox(c, mView->GetBounds(), mView->GetTitle(), primary);
            return noErr;
        }
        ControlPartCode HitTest(CGPoint) override { return kControlNoPart; }
    };

    class WindowHeaderBehaviour : public Behaviour {
    public:
        using Behaviour::Behaviour;

    protected:
        OSStatus Draw(CGContextRef c) override
        {
            ControlTheme::DrawWindowHeader(c, mView->GetBounds());
            return noErr;
        }
        ControlPartCode HitTest(CGPoint) override { return kControlNoPart; }
    };

    // An icon view: its content scaled to fit and centred; it tracks like a button unless told not to.
    class IconViewBehaviour : public Behaviour {
    public:
        using Behaviour::Behaviour;

    protected:
        OSStatus Draw(CGContextRef c) override
        {
            mContent.Draw(c, mView->GetBounds(), mView->IsEnabled());
            return noErr;
        }

        OSStatus SetData(ControlPartCode, OSType tag, Size size, void const* data) override
        {
            if (tag != kControlIconContentTag)
                return eventNotHandledErr;
            ControlButtonContentInfo info;
            TW_RETURN_STATUS(Read(size, data, &info));
            mContent.Set(info);
            mView->Invalidate();
            return noErr;
        }

        OSStatus GetData(ControlPartCode, OSType tag, Size bufferSize, void* data, Size* actualSize) override
        {
            if (tag != kControlIconContentTag)
                return eventNotHandledErr;
            return Write(mContent.Get(), bufferSize, data, actualSize);
        }

    private:
        ButtonContent mContent;
    };

} // namespace

OSStatus GetTitleData(View* view, OSType tag, Size bufferSize, void* data, Size* actualSize)
{
    if (tag == kControlStaticTextCFStringTag) {
        CFStringRef copy = view->GetTitle() ? CFStringCreateCopy(nullptr, view->GetTitle()) : CFSTR("");
        if (!view->GetTitle())
            CFRetain(copy);
        if (!data) {
            *actualSize = sizeof copy;
            CFRelease(copy);
            return noErr;
        }
        OSStatus const status = Behaviour::Write(copy, bufferSize, data, actualSize);
        if (status != noErr)
            CFRelease(copy);
        return status;
    }
    if (tag == kControlStaticTextTextTag) {
        std::string const text = cf::ToUTF8(view->GetTitle());
        *actualSize = static_cast<Size>(text.size());
        if (data) {
            if (bufferSize < static_cast<Size>(text.size()))
                return -30591;
            std::memcpy(data, text.data(), text.size());
        }
        return noErr;
    }
    return eventNotHandledErr;
}

Behaviour* MakeStaticText(View* view) { return new StaticTextBehaviour(view); }
Behaviour* MakeGroupBox(View* view) { return new GroupBoxBehaviour(view); }
Behaviour* MakeWindowHeader(View* view) { return new WindowHeaderBehaviour(view); }
Behaviour* MakeIconView(View* view) { return new IconViewBehaviour(view); }

} // namespace tw::toolbox::controls
