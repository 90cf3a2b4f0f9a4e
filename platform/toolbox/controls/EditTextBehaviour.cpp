#include "corefoundation/CFString.h"
#include "services/ScrapBackend.h"
#include "toolbox/KeyCodes.h"
#include "toolbox/MouseTracking.h"
#include "toolbox/Window.h"
#include "toolbox/controls/Behaviours.h"
#include "toolbox/controls/ControlBehaviour.h"
#include "toolbox/controls/ControlDefinitions.h"
#include "toolbox/controls/ControlTheme.h"
#include "toolbox/controls/ControlsInternal.h"
#include "toolbox/controls/EditTextCommands.h"
#include "toolbox/controls/EditTextData.h"
#include "toolbox/controls/EditTextLayout.h"
#include "toolbox/controls/EditTextModel.h"

#include <deque>
#include <vector>

namespace tw::toolbox::controls {

namespace {

    constexpr EventMouseButton kMiddleButton = 3;

    // An editable text field, single or multi line: Unicode text, caret and
    // selection by mouse and keys, cut, copy and paste through the scrap, a key
    // filter and a validation procedure, and the focus ring. Return in a single
    // line field reports the text accepted and is left for the default button.
    class EditTextBehaviour : public Behaviour {
    public:
        explicit EditTextBehaviour(View* view)
            : Behaviour(view)
            , mLayout(view)
        {
            mView->ChangeFeatures(kHIViewFeatureGetsFocusOnClick, 0);
        }

    protected:
        OSStatus Draw(CGContextRef c) override
        {
            ControlState const s { mView->IsEnabled(), false, IsFocused() && mView->IsActive() };
            ControlTheme::DrawEditFrame(c, mView->GetBounds(), s);
            mLayout.Draw(c, mModel, s.focused, s.enabled);
            return noErr;
        }

        ControlPartCode HitTest(CGPoint p) override
        {
            return CGRectContainsPoint(mView->GetBounds(), p) ? ControlPartCode(kControlEditTextPart)
                                                              : ControlPartCode(kControlNoPart);
        }

        bool TakesFocus() const override { return true; }

        ControlPartCode Focus(ControlPartCode part) override
        {
            if (part == kControlFocusNoPart || !mView->IsEnabled() || !mView->IsVisible())
                return kControlFocusNoPart;
            if (part == kControlFocusNextPart || part == kControlFocusPrevPart) {
                if (IsFocused())
                    return kControlFocusNoPart;
                // Tabbing into a field selects its text, ready to be replaced.
                mModel.SelectAll();
                mLayout.Reveal(mModel);
            }
            return kControlEditTextPart;
        }

        OSStatus Track(EventHandlerCallRef, EventRef event) override;
        OSStatus Key(EventRef event) override;
        OSStatus Text(EventRef event) override;
        OSStatus SetData(ControlPartCode part, OSType tag, Size size, void const* data) override;
        OSStatus GetData(ControlPartCode part, OSType tag, Size bufferSize, void* data, Size* actualSize) override;
        void BoundsChanged() override { mLayout.Reveal(mModel); }
        OSStatus OtherEvent(EventHandlerCallRef callRef, EventRef event) override;

    private:
        bool EditCommand(MenuCommand command);
        EditTextAccess Access() const { return { mLocked, mLayout.IsPassword() }; }
        bool Filter(UInt32 code, UniChar character, UInt32 modifiers);
        bool EditKey(UInt32 code, UniChar character, UInt32 modifiers);
        bool CommandKey(UniChar character);
        void InsertTyped(std::u16string text);
        void Changed();
        void Moved();
        void Copy() const;
        void Paste();
        void SelectWord(std::size_t at);
        void OfferSelection();
        void PastePrimary(CGPoint at);
        void SendTextEvent(EventKind kind);

        static constexpr std::size_t kMaxVerdicts = 16;
        void Remember(std::deque<char16_t>& verdicts, char16_t character);

        EditTextModel mModel;
        std::deque<char16_t> mPassed; // typed keys the filter let through, waiting for their text
        std::deque<char16_t> mBlocked; // typed keys the filter blocked, whose text is dropped
        EditTextLayout mLayout;
        ControlKeyFilterUPP mFilter = nullptr;
        ControlEditTextValidationUPP mValidation = nullptr;
        bool mLocked = false;
        std::u16string mOffered; // the selection last made the primary selection
    };

    OSStatus EditTextBehaviour::Track(EventHandlerCallRef, EventRef event)
    {
        HIPoint p {};
        UInt32 modifiers = 0, clicks = 1;
        GetEventParameter(event, kEventParamMouseLocation, typeHIPoint, nullptr, sizeof p, nullptr, &p);
        GetEventParameter(event, kEventParamKeyModifiers, typeUInt32, nullptr, sizeof modifiers, nullptr, &modifiers);
        GetEventParameter(event, kEventParamClickCount, typeUInt32, nullptr, sizeof clicks, nullptr, &clicks);
        EventMouseButton button = 1;
        GetEventParameter(event, kEventParamMouseButton, typeMouseButton, nullptr, sizeof button, nullptr, &button);
        Protector protect(mView);
        if (button == kMiddleButton) {
            if (!mLocked)
                PastePrimary(p);
            ControlPartCode const part = kControlEditTextPart;
            SetEventParameter(event, kEventParamControlPart, typeControlPartCode, sizeof part, &part);
            return noErr;
        }
        if (clicks == 2)
            SelectWord(mLayout.PositionAt(mModel, p));
        else
            mModel.MoveTo(mLayout.PositionAt(mModel, p), (modifiers & shiftKey) != 0);
        Moved();
        MouseTrackingResult result = kMouseTrackingMouseDown;
        while (clicks < 2 && result != kMouseTrackingMouseUp && result != kMouseTrackingUserCancelled) {
            if (HIViewTrackMouseLocation(mView, 0, kEventDurationForever, &p, &modifiers, &result) != noErr
                || mView->IsDisposed())
                break;
            mModel.MoveTo(mLayout.PositionAt(mModel, p), true);
            Moved();
        }
        ControlPartCode const part = kControlEditTextPart;
        SetEventParameter(event, kEventParamControlPart, typeControlPartCode, sizeof part, &part);
        return noErr;
    }

    // Typed characters arrive as text input after their key: the key runs the filter
    // (as every key does) and its verdict waits for the text.
    OSStatus EditTextBehaviour::Key(EventRef event)
    {
        UInt32 code = 0, modifiers = 0;
        UniChar character = 0;
        GetEventParameter(event, kEventParamKeyCode, typeUInt32, nullptr, sizeof code, nullptr, &code);
        GetEventParameter(event, kEventParamKeyModifiers, typeUInt32, nullptr, sizeof modifiers, nullptr, &modifiers);
        GetEventParameter(
            event, kEventParamKeyUnicodes, typeUnicodeText, nullptr, sizeof character, nullptr, &character);
        if (!IsFocused() || !mView->IsEnabled())
            return eventNotHandledErr;
        Protector protect(mView);
        bool const typed = !(modifiers & cmdKey) && character >= 0x20 && character != 0x7F;
        bool const passes = Filter(code, character, modifiers);
        if (mView->IsDisposed())
            return noErr;
        if (typed) {
            Remember(passes ? mPassed : mBlocked, character);
            return noErr;
        }
        if (!passes)
            return noErr;
        if ((modifiers & cmdKey) && code != kKeyLeft && code != kKeyRight)
            return CommandKey(character) ? OSStatus { noErr } : OSStatus { eventNotHandledErr };
        return EditKey(code, character, modifiers) ? OSStatus { noErr } : OSStatus { eventNotHandledErr };
    }

    void EditTextBehaviour::Remember(std::deque<char16_t>& verdicts, char16_t character)
    {
        verdicts.push_back(character);
        if (verdicts.size() > kMaxVerdicts) // keys whose text never came
            verdicts.pop_front();
    }

    // The key filter sees every key first; a blocked key goes no further.
    bool EditTextBehaviour::Filter(UInt32 code, UniChar character, UInt32 modifiers)
    {
        if (!mFilter)
            return true;
        SInt16 keyCode = static_cast<SInt16>(code);
        SInt16 charCode = static_cast<SInt16>(character < 0x80 ? character : '?');
        if (code == kKeyReturn)
            charCode = 13;
        else if (code == kKeyEnter)
            charCode = 3;
        return mFilter(mView, &keyCode, &charCode, &modifiers) != kControlKeyFilterBlockKey;
    }

    bool EditTextBehaviour::EditKey(UInt32 code, UniChar character, UInt32 modifiers)
    {
        bool const extend = (modifiers & shiftKey) != 0;
        bool const single = mLayout.IsSingleLine();
        switch (code) {
        case kKeyReturn:
        case kKeyEnter:
            if (single) {
                SendTextEvent(kEventTextAccepted);
                return false;
            }
            InsertTyped(u"\n");
            return true;
        case kKeyTab:
        case kKeyEscape:
            return false;
        case kKeyBackspace:
            if (!mLocked && mModel.DeleteBackward())
                Changed();
            return true;
        case kKeyForwardDelete:
            if (!mLocked && mModel.DeleteForward())
                Changed();
            return true;
        case kKeyLeft:
        case kKeyRight: {
            bool const left = code == kKeyLeft;
            std::size_t const from = extend || !mModel.HasSelection() ? mModel.Caret()
                : left                                                ? mModel.SelectionStart()
                                                                      : mModel.SelectionEnd();
            // Command goes to the line's end, Option by words, as on a Mac.
            if (modifiers & cmdKey)
                mModel.MoveTo(left ? mModel.LineStart(from) : mModel.LineEnd(from), extend);
            else if (modifiers & optionKey)
                mModel.MoveTo(left ? mModel.WordStartBefore(from) : mModel.WordEndAfter(from), extend);
            else
                left ? mModel.MoveLeft(extend) : mModel.MoveRight(extend);
            break;
        }
        case kKeyHome:
            mModel.MoveTo(single ? 0 : mModel.LineStart(mModel.Caret()), extend);
            break;
        case kKeyEnd:
            mModel.MoveTo(single ? mModel.Text().size() : mModel.LineEnd(mModel.Caret()), extend);
            break;
        case kKeyUp:
        case kKeyDown:
            mModel.MoveTo(mLayout.LineMove(mModel, code == kKeyUp ? -1 : 1), extend);
            break;
        default:
            return false;
        }
        Moved();
        return true;
    }

    bool EditTextBehaviour::CommandKey(UniChar character)
    {
        switch (character | 0x20) {
        case 'a':
            mModel.SelectAll();
            Moved();
            return true;
        case 'c':
            Copy();
            return true;
        case 'x':
            Copy();
            if (!mLocked && mModel.Insert({}))
                Changed();
            return true;
        case 'v':
            Paste();
            return true;
        default:
            return false;
        }
    }

    // The Edit menu's commands act on the focused field, as their keys do.
    OSStatus EditTextBehaviour::OtherEvent(EventHandlerCallRef, EventRef event)
    {
        if (!IsFocused() || !mView->IsEnabled())
            return eventNotHandledErr;
        Protector protect(mView);
        return HandleEditCommand(
            event, [this](MenuCommand command) { return CanEditText(mModel, command, Access()); },
            [this](MenuCommand command) { return EditCommand(command); });
    }

    bool EditTextBehaviour::EditCommand(MenuCommand command)
    {
        switch (command) {
        case kHICommandSelectAll:
            return CommandKey('a');
        case kHICommandCopy:
            return CommandKey('c');
        case kHICommandCut:
            return CommandKey('x');
        case kHICommandPaste:
            return CommandKey('v');
        case kHICommandClear:
            if (!mLocked && mModel.Insert({}))
                Changed();
            return true;
        default:
            return false;
        }
    }

    // Text typed through an input method: each character passes the key filter.
    OSStatus EditTextBehaviour::Text(EventRef event)
    {
        if (!IsFocused() || !mView->IsEnabled())
            return eventNotHandledErr;
        ByteCount size = 0;
        if (GetEventParameter(event, kEventParamTextInputSendText, typeUnicodeText, nullptr, 0, &size, nullptr)
            != noErr)
            return eventNotHandledErr;
        std::u16string text(size / sizeof(char16_t), u'\0');
        GetEventParameter(event, kEventParamTextInputSendText, typeUnicodeText, nullptr, size, nullptr, text.data());
        Protector protect(mView);
        std::u16string accepted;
        for (char16_t c : text) {
            if (!mBlocked.empty() && mBlocked.front() == c)
                mBlocked.pop_front();
            else if (!mPassed.empty() && mPassed.front() == c) {
                mPassed.pop_front();
                accepted += c;
            } else if (Filter(0, c, 0)) // text with no key of its own (an input method)
                accepted += c;
        }
        if (!mView->IsDisposed())
            InsertTyped(accepted);
        return noErr;
    }

    void EditTextBehaviour::InsertTyped(std::u16string text)
    {
        if (mLocked || text.empty())
            return;
        if (mLayout.IsSingleLine())
            for (char16_t& c : text)
                if (c == u'\n' || c == u'\r')
                    c = u' ';
        if (mModel.Insert(text))
            Changed();
    }

    void EditTextBehaviour::Changed()
    {
        mLayout.Reveal(mModel);
        mView->Invalidate();
        if (mValidation)
            mValidation(mView);
        if (!mView->IsDisposed())
            SendTextEvent(kEventTextDidChange);
    }

    void EditTextBehaviour::Moved()
    {
        mLayout.Reveal(mModel);
        mView->Invalidate();
        OfferSelection();
    }

    // Selected text becomes the X primary selection, as in every X program; a
    // password never leaves its field.
    void EditTextBehaviour::OfferSelection()
    {
        if (!mModel.HasSelection() || mLayout.IsPassword()) {
            mOffered.clear();
            return;
        }
        std::u16string selected = mModel.SelectedText();
        if (selected == mOffered)
            return;
        services::SetPrimarySelection(cf::UTF16ToUTF8(selected));
        mOffered = std::move(selected);
    }

    // A middle click puts the caret there and pastes the primary selection.
    void EditTextBehaviour::PastePrimary(CGPoint at)
    {
        std::string text;
        mModel.MoveTo(mLayout.PositionAt(mModel, at), false);
        if (services::CopyPrimarySelection(&text))
            InsertTyped(cf::UTF8ToUTF16(text));
        Moved();
    }

    void EditTextBehaviour::Copy() const { CopyEditText(mModel, Access()); }

    void EditTextBehaviour::Paste()
    {
        std::u16string text;
        if (CopyScrapText(&text))
            InsertTyped(text);
    }

    void EditTextBehaviour::SelectWord(std::size_t at)
    {
        std::u16string const& text = mModel.Text();
        std::size_t start = at, end = at;
        while (start > 0 && EditTextModel::IsWordCharacter(text[start - 1]))
            --start;
        while (end < text.size() && EditTextModel::IsWordCharacter(text[end]))
            ++end;
        mModel.Select(start, end);
    }

    void EditTextBehaviour::SendTextEvent(EventKind kind)
    {
        EventRef event = nullptr;
        if (CreateEvent(nullptr, kEventClassTextField, kind, GetCurrentEventTime(), 0, &event) != noErr)
            return;
        ControlRef ref = mView;
        SetEventParameter(event, kEventParamDirectObject, typeControlRef, sizeof ref, &ref);
        SendEventToEventTarget(event, &mView->GetTarget());
        ReleaseEvent(event);
    }

    OSStatus EditTextBehaviour::SetData(ControlPartCode, OSType tag, Size size, void const* data)
    {
        if (OSStatus const status = SetEditText(mModel, tag, size, data); status != eventNotHandledErr) {
            if (status == noErr)
                Moved();
            return status;
        }
        Boolean flag = false;
        switch (tag) {
        case kControlEditTextSelectionTag: {
            ControlEditTextSelectionRec selection;
            TW_RETURN_STATUS(Read(size, data, &selection));
            mModel.Select(static_cast<std::size_t>(std::max<SInt16>(0, selection.selStart)),
                static_cast<std::size_t>(std::max<SInt16>(0, selection.selEnd)));
            break;
        }
        case kControlEditTextKeyFilterTag:
            return Read(size, data, &mFilter);
        case kControlEditTextValidationProcTag:
            return Read(size, data, &mValidation);
        case kControlEditTextSingleLineTag:
            TW_RETURN_STATUS(Read(size, data, &flag));
            mLayout.SetSingleLine(flag);
            break;
        case kControlEditTextPasswordTag:
            TW_RETURN_STATUS(Read(size, data, &flag));
            mLayout.SetPassword(flag);
            break;
        case kControlEditTextLockedTag:
            TW_RETURN_STATUS(Read(size, data, &flag));
            mLocked = flag;
            return noErr;
        default:
            return eventNotHandledErr;
        }
        Moved();
        return noErr;
    }

    OSStatus EditTextBehaviour::GetData(ControlPartCode, OSType tag, Size bufferSize, void* data, Size* actualSize)
    {
        if (OSStatus const status = GetEditText(mModel, tag, bufferSize, data, actualSize);
            status != eventNotHandledErr)
            return status;
        switch (tag) {
        case kControlEditTextSelectionTag:
            return Write(ControlEditTextSelectionRec { static_cast<SInt16>(
                                                           std::min<std::size_t>(mModel.SelectionStart(), 32767)),
                             static_cast<SInt16>(std::min<std::size_t>(mModel.SelectionEnd(), 32767)) },
                bufferSize, data, actualSize);
        case kControlEditTextKeyFilterTag:
            return Write(mFilter, bufferSize, data, actualSize);
        case kControlEditTextValidationProcTag:
            return Write(mValidation, bufferSize, data, actualSize);
        case kControlEditTextSingleLineTag:
            return Write(Boolean(mLayout.IsSingleLine()), bufferSize, data, actualSize);
        case kControlEditTextPasswordTag:
            return Write(Boolean(mLayout.IsPassword()), bufferSize, data, actualSize);
        case kControlEditTextLockedTag:
            return Write(Boolean(mLocked), bufferSize, data, actualSize);
        default:
            return eventNotHandledErr;
        }
    }

} // namespace

Behaviour* MakeEditText(View* view) { return new EditTextBehaviour(view); }

} // namespace tw::toolbox::controls
