#pragma once

#include "quartz/CGContext.h"
#include "toolbox/View.h"

#include <string>

namespace tw::toolbox::controls {

class EditTextModel;

// Where an edit field's text, caret and selection fall in the view: lines end
// at '\n' (a single-line field has one and scrolls sideways to keep the caret in
// view); passwords show one bullet per character. Draws the text part of the field.
class EditTextLayout {
public:
    static constexpr CGFloat kInset = 4; // [px] between the frame and the text

    explicit EditTextLayout(View* view);

    bool IsSingleLine() const { return mSingleLine; }
    void SetSingleLine(bool single) { mSingleLine = single; }
    bool IsPassword() const { return mPassword; }
    void SetPassword(bool password) { mPassword = password; }

    // The text position nearest a point in view coordinates.
    std::size_t PositionAt(EditTextModel const& model, CGPoint p) const;
    // The caret position one line up (-1) or down (+1), keeping its x.
    std::size_t LineMove(EditTextModel const& model, int direction) const;
    // Scrolls so that the caret shows.
    void Reveal(EditTextModel const& model);
    void Draw(CGContextRef c, EditTextModel const& model, bool focused, bool enabled) const;

    CGPoint CaretPoint(EditTextModel const& model, std::size_t position) const; // top of the caret, view coordinates

private:
    std::u16string Shown(std::u16string const& text) const;
    CGFloat Width(std::u16string const& text, std::size_t from, std::size_t to) const;
    CGFloat LineHeight() const;
    CGRect Inner() const;
    CGFloat FirstLineTop() const;

    View* mView; // weak: the field's view outlives its layout
    bool mSingleLine;
    bool mPassword = false;
    CGFloat mScrollX = 0; // [px]
};

} // namespace tw::toolbox::controls
