#pragma once

// Theme text set by Pango: the theme font's face and size, wrapping, flushness
// and truncation. Hinting of metrics is off, so text measures the same in every
// context and at every scale. One layout per call, on the calling thread.
//
// Cairo keeps one scaled font for a face and size for the whole process, whichever
// thread or Pango font map asks for it, and its font caches are not safe to share
// between threads (Cairo 1.16 aborts on a frozen glyph cache). So text is set by one
// thread at a time: a layout holds the font lock for its life, which covers drawing it,
// and every layout takes its fonts from one font map that lives as long as the process,
// so that no thread's ending lets fonts go outside the lock.

#include "quartz/HITheme.h"

#include <mutex>
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
    // For other work that makes or lets go of Cairo's fonts (a PDF's pages hold them).
    static std::unique_lock<std::mutex> LockFonts();

private:
    std::unique_lock<std::mutex> mLock; // first made, last let go
    PangoContext* mContext; // owns
    PangoLayout* mLayout; // owns
};

} // namespace tw::quartz
