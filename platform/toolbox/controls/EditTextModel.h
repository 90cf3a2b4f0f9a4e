#pragma once

#include <cstddef>
#include <string>

namespace tw::toolbox::controls {

// The text of an edit field and its selection, in UTF-16 code units. The
// selection runs from the anchor to the caret; editing replaces it. Positions
// never split a surrogate pair. Pure data: no drawing, no events.
class EditTextModel {
public:
    std::u16string const& Text() const { return mText; }
    void SetText(std::u16string text); // caret at the end, nothing selected

    std::size_t Caret() const { return mCaret; }
    std::size_t Anchor() const { return mAnchor; }
    std::size_t SelectionStart() const { return std::min(mAnchor, mCaret); }
    std::size_t SelectionEnd() const { return std::max(mAnchor, mCaret); }
    bool HasSelection() const { return mAnchor != mCaret; }
    std::u16string SelectedText() const;
    // Clamped to the text and moved off the middle of a surrogate pair.
    void Select(std::size_t anchor, std::size_t caret);
    void SelectAll() { Select(0, mText.size()); }

    // Editing; each answers whether the text changed.
    bool Insert(std::u16string const& text);
    bool DeleteBackward();
    bool DeleteForward();

    // Caret moves; with extend the anchor stays.
    void MoveLeft(bool extend);
    void MoveRight(bool extend);
    void MoveTo(std::size_t position, bool extend);
    // Start and end of the line holding the caret (lines end at '\n').
    std::size_t LineStart(std::size_t position) const;
    std::size_t LineEnd(std::size_t position) const;
    // Word moves, as Option+arrow makes them: to the start of the word before a
    // position (over any gap first) and to the end of the word after it.
    std::size_t WordStartBefore(std::size_t position) const;
    std::size_t WordEndAfter(std::size_t position) const;
    // Letters, digits, the underscore and everything outside ASCII.
    static bool IsWordCharacter(char16_t c);

private:
    std::size_t Snap(std::size_t position) const;

    std::u16string mText;
    std::size_t mAnchor = 0;
    std::size_t mCaret = 0;
};

} // namespace tw::toolbox::controls
