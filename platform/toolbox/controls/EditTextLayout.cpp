#include "toolbox/controls/EditTextLayout.h"

#include "corefoundation/CFString.h"
#include "quartz/HITheme.h"
#include "toolbox/ObjectClass.h"
#include "toolbox/controls/ControlTheme.h"
#include "toolbox/controls/ControlsInternal.h"
#include "toolbox/controls/EditTextModel.h"

#include <algorithm>
#include <cmath>

namespace tw::toolbox::controls {

EditTextLayout::EditTextLayout(View* view)
    : mView(view)
    , mSingleLine(view->GetClass()->IsA("com.apple.HITextField"))
{
}

std::u16string EditTextLayout::Shown(std::u16string const& text) const
{
    if (!mPassword)
        return text;
    return std::u16string(text.size(), u'\u2022');
}

CGFloat EditTextLayout::Width(std::u16string const& text, std::size_t from, std::size_t to) const
{
    if (to <= from)
        return 0;
    CFStringRef part = cf::CreateString(cf::UTF16ToUTF8(Shown(text.substr(from, to - from))));
    HIThemeTextInfo info {};
    info.fontID = ThemeFontOf(mView);
    CGFloat w = 0, h = 0;
    HIThemeGetTextDimensions(part, 0, &info, &w, &h, nullptr);
    CFRelease(part);
    return w;
}

CGFloat EditTextLayout::LineHeight() const { return ControlTheme::LineHeight(ThemeFontOf(mView)); }

CGRect EditTextLayout::Inner() const { return CGRectInset(mView->GetBounds(), kInset, 2); }

CGFloat EditTextLayout::FirstLineTop() const
{
    CGRect const inner = Inner();
    return mSingleLine ? std::floor(CGRectGetMidY(inner) - LineHeight() / 2) : inner.origin.y + 1;
}

CGPoint EditTextLayout::CaretPoint(EditTextModel const& model, std::size_t position) const
{
    std::u16string const& text = model.Text();
    std::size_t const start = model.LineStart(position);
    auto const line = static_cast<CGFloat>(std::count(text.begin(), text.begin() + static_cast<long>(start), u'\n'));
    return { Inner().origin.x - mScrollX + Width(text, start, position), FirstLineTop() + line * LineHeight() };
}

std::size_t EditTextLayout::PositionAt(EditTextModel const& model, CGPoint p) const
{
    std::u16string const& text = model.Text();
    auto line = static_cast<long>(std::floor((p.y - FirstLineTop()) / LineHeight()));
    std::size_t start = 0;
    for (; line > 0; --line) {
        std::size_t const next = text.find(u'\n', start);
        if (next == std::u16string::npos)
            break;
        start = next + 1;
    }
    std::size_t const end = model.LineEnd(start);
    CGFloat const x = p.x - Inner().origin.x + mScrollX;
    // The nearest boundary: past half of a character counts as after it.
    std::size_t best = start;
    CGFloat previous = 0;
    for (std::size_t i = start + 1; i <= end; ++i) {
        CGFloat const w = Width(text, start, i);
        if (x < (previous + w) / 2)
            break;
        best = i;
        previous = w;
    }
    return best;
}

std::size_t EditTextLayout::LineMove(EditTextModel const& model, int direction) const
{
    if (mSingleLine)
        return direction < 0 ? 0 : model.Text().size();
    CGPoint const caret = CaretPoint(model, model.Caret());
    CGFloat const y = caret.y + LineHeight() / 2 + direction * LineHeight();
    if (y < FirstLineTop())
        return 0;
    return PositionAt(model, { caret.x, y });
}

void EditTextLayout::Reveal(EditTextModel const& model)
{
    if (!mSingleLine) {
        mScrollX = 0;
        return;
    }
    CGRect const inner = Inner();
    CGFloat const x = Width(model.Text(), 0, model.Caret());
    CGFloat const total = Width(model.Text(), 0, model.Text().size());
    if (x - mScrollX > inner.size.width - 1)
        mScrollX = x - inner.size.width + 1;
    if (x < mScrollX)
        mScrollX = x;
    // Never leave empty room on the right while text is hidden on the left.
    mScrollX = std::max<CGFloat>(0, std::min(mScrollX, total - inner.size.width + 1));
}

void EditTextLayout::Draw(CGContextRef c, EditTextModel const& model, bool focused, bool enabled) const
{
    std::u16string const& text = model.Text();
    CGFloat const height = LineHeight();
    CGContextSaveGState(c);
    CGContextClipToRect(c, CGRectInset(mView->GetBounds(), 2, 2));
    if (model.HasSelection()) {
        focused ? ControlTheme::SetAccentFill(c, 0.3) : CGContextSetGrayFillColor(c, 0.85, 1);
        for (std::size_t start = model.LineStart(model.SelectionStart()); start <= model.SelectionEnd();) {
            std::size_t const end = model.LineEnd(start);
            std::size_t const from = std::max(start, model.SelectionStart());
            std::size_t const to = std::min(end, model.SelectionEnd());
            CGPoint const a = CaretPoint(model, from);
            CGFloat const extra = to < model.SelectionEnd() ? 4 : 0; // the selected line break
            CGContextFillRect(c, { a, { CaretPoint(model, to).x - a.x + extra, height } });
            start = end + 1;
            if (end >= text.size())
                break;
        }
    }
    HIThemeTextInfo info {};
    info.fontID = ThemeFontOf(mView);
    CGContextSetGrayFillColor(c, enabled ? 0.1 : 0.55, 1);
    for (std::size_t start = 0;;) {
        std::size_t const end = model.LineEnd(start);
        if (end > start) {
            CGPoint const at = CaretPoint(model, start);
            CFStringRef line = cf::CreateString(cf::UTF16ToUTF8(Shown(text.substr(start, end - start))));
            CGRect const box { at, { Width(text, start, end) + 8, height } };
            HIThemeDrawTextBox(line, &box, &info, c, kHIThemeOrientationNormal);
            CFRelease(line);
        }
        if (end >= text.size())
            break;
        start = end + 1;
    }
    if (focused && !model.HasSelection()) {
        CGPoint const caret = CaretPoint(model, model.Caret());
        CGContextSetGrayFillColor(c, 0.05, 1);
        CGContextFillRect(c, { { std::round(caret.x), caret.y }, { 1, height } });
    }
    CGContextRestoreGState(c);
}

} // namespace tw::toolbox::controls
