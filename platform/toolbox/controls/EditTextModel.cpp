#include "toolbox/controls/EditTextModel.h"

#include <cctype>

#include <algorithm>

namespace tw::toolbox::controls {

namespace {

    bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

} // namespace

void EditTextModel::SetText(std::u16string text)
{
    mText = std::move(text);
    mAnchor = mCaret = mText.size();
}

std::u16string EditTextModel::SelectedText() const
{
    return mText.substr(SelectionStart(), SelectionEnd() - SelectionStart());
}

std::size_t EditTextModel::Snap(std::size_t position) const
{
    position = std::min(position, mText.size());
    if (position > 0 && position < mText.size() && IsLowSurrogate(mText[position]))
        --position;
    return position;
}

void EditTextModel::Select(std::size_t anchor, std::size_t caret)
{
    mAnchor = Snap(anchor);
    mCaret = Snap(caret);
}

bool EditTextModel::Insert(std::u16string const& text)
{
    std::size_t const start = SelectionStart();
    bool const changed = HasSelection() || !text.empty();
    mText.replace(start, SelectionEnd() - start, text);
    mAnchor = mCaret = start + text.size();
    return changed;
}

bool EditTextModel::DeleteBackward()
{
    if (!HasSelection()) {
        if (mCaret == 0)
            return false;
        MoveLeft(true);
    }
    return Insert({});
}

bool EditTextModel::DeleteForward()
{
    if (!HasSelection()) {
        if (mCaret == mText.size())
            return false;
        MoveRight(true);
    }
    return Insert({});
}

void EditTextModel::MoveLeft(bool extend)
{
    if (HasSelection() && !extend) {
        mAnchor = mCaret = SelectionStart();
        return;
    }
    std::size_t position = mCaret;
    if (position > 0)
        --position;
    MoveTo(Snap(position), extend);
}

void EditTextModel::MoveRight(bool extend)
{
    if (HasSelection() && !extend) {
        mAnchor = mCaret = SelectionEnd();
        return;
    }
    std::size_t position = std::min(mCaret + 1, mText.size());
    if (position < mText.size() && IsLowSurrogate(mText[position]))
        ++position;
    MoveTo(position, extend);
}

void EditTextModel::MoveTo(std::size_t position, bool extend)
{
    mCaret = Snap(position);
    if (!extend)
        mAnchor = mCaret;
}

bool EditTextModel::IsWordCharacter(char16_t c)
{
    return c == u'_' || c >= 0x80 || (c < 0x80 && std::isalnum(static_cast<int>(c)));
}

std::size_t EditTextModel::WordStartBefore(std::size_t position) const
{
    position = std::min(position, mText.size());
    while (position > 0 && !IsWordCharacter(mText[position - 1]))
        --position;
    while (position > 0 && IsWordCharacter(mText[position - 1]))
        --position;
    return Snap(position);
}

std::size_t EditTextModel::WordEndAfter(std::size_t position) const
{
    position = std::min(position, mText.size());
    while (position < mText.size() && !IsWordCharacter(mText[position]))
        ++position;
    while (position < mText.size() && IsWordCharacter(mText[position]))
        ++position;
    return Snap(position);
}

std::size_t EditTextModel::LineStart(std::size_t position) const
{
    position = std::min(position, mText.size());
    std::size_t const newline = position == 0 ? std::u16string::npos : mText.rfind(u'\n', position - 1);
    return newline == std::u16string::npos ? 0 : newline + 1;
}

std::size_t EditTextModel::LineEnd(std::size_t position) const
{
    std::size_t const newline = mText.find(u'\n', std::min(position, mText.size()));
    return newline == std::u16string::npos ? mText.size() : newline;
}

} // namespace tw::toolbox::controls
