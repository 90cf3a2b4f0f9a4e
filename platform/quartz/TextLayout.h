#pragma once

// Theme text set by Pango: the theme font's face and size, wrapping, flushness
// and truncation. Hinting of metrics is off, so text measures the same in every
// context and at every scale. One layout per call, on the calling thread.

#include "quartz/HITheme.h"

#include <pango/pangocairo.h>
#include <string>

namespace tw::quartz {

class TextLayout {
public:
    // width 0: no wrapping; height 0: no limit on lines.
    TextLayout(std::string const& utf8, HIThemeTextInfo const& info, CGFloat width, CGFloat height);
    ~TextLayout();
    TextLayout(TextLayout const&) = delete;
    TextLayout& operator=(TextLayout const&) = delete;

    PangoLayout* Layout() const { return mLayout; }
    CGSize Size() const; // [px] rounded up to whole pixels
    CGFloat LastLineDescent() const; // [px]
    bool Truncated() const;

    // The theme font's family, weight and pixel size.
    static PangoFontDescription* CreateFont(ThemeFontID font);

private:
    PangoContext* mContext; // owns
    PangoLayout* mLayout; // owns
};

} // namespace tw::quartz
