#include "quartz/TextLayout.h"

#include <algorithm>
#include <cmath>

namespace tw::quartz {

namespace {

    constexpr char const* kThemeFamily = "DejaVu Sans";
    constexpr CGFloat kWrapTolerance = 0.5; // [px] so that text laid out at its measured width does not wrap

    struct ThemeFont {
        ThemeFontID id;
        CGFloat size; // [px]
        bool bold;
    };

    constexpr ThemeFont kThemeFonts[] = {
        { kThemeSystemFont, 13, false },
        { kThemeSmallSystemFont, 11, false },
        { kThemeSmallEmphasizedSystemFont, 11, true },
        { kThemeViewsFont, 12, false },
        { kThemeEmphasizedSystemFont, 13, true },
        { kThemeApplicationFont, 12, false },
        { kThemeLabelFont, 10, false },
        { kThemeMiniSystemFont, 9, false },
    };

    PangoEllipsizeMode EllipsizeFor(HIThemeTextTruncation truncation)
    {
        switch (truncation) {
        case kHIThemeTextTruncationStart:
            return PANGO_ELLIPSIZE_START;
        case kHIThemeTextTruncationMiddle:
            return PANGO_ELLIPSIZE_MIDDLE;
        case kHIThemeTextTruncationEnd:
            return PANGO_ELLIPSIZE_END;
        default:
            return PANGO_ELLIPSIZE_NONE;
        }
    }

    PangoAlignment AlignmentFor(HIThemeTextHorizontalFlush flush)
    {
        if (flush == kHIThemeTextHorizontalFlushCenter)
            return PANGO_ALIGN_CENTER;
        return flush == kHIThemeTextHorizontalFlushRight ? PANGO_ALIGN_RIGHT : PANGO_ALIGN_LEFT;
    }

    std::mutex& FontMutex()
    {
        static std::mutex mutex;
        return mutex;
    }

    // Not Pango's default map, which is one per thread and goes when its thread ends.
    PangoFontMap* FontMap()
    {
        static PangoFontMap* const map = pango_cairo_font_map_new();
        return map;
    }

    PangoContext* CreateContext()
    {
        PangoContext* context = pango_font_map_create_context(FontMap());
        cairo_font_options_t* options = cairo_font_options_create();
        cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
        cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
        pango_cairo_context_set_font_options(context, options);
        cairo_font_options_destroy(options);
        return context;
    }

} // namespace

PangoFontDescription* TextLayout::CreateFont(ThemeFontID font)
{
    ThemeFont theme = kThemeFonts[0];
    for (ThemeFont const& candidate : kThemeFonts)
        if (candidate.id == font)
            theme = candidate;
    PangoFontDescription* description = pango_font_description_new();
    pango_font_description_set_family(description, kThemeFamily);
    pango_font_description_set_weight(description, theme.bold ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
    pango_font_description_set_absolute_size(description, theme.size * PANGO_SCALE);
    return description;
}

std::unique_lock<std::mutex> TextLayout::LockFonts() { return std::unique_lock(FontMutex()); }

TextLayout::TextLayout(std::string const& utf8, HIThemeTextInfo const& info, CGFloat width, CGFloat height)
    : mLock(LockFonts())
    , mContext(CreateContext())
    , mLayout(pango_layout_new(mContext))
{
    PangoFontDescription* font = CreateFont(info.fontID);
    pango_layout_set_font_description(mLayout, font);
    pango_font_description_free(font);
    pango_layout_set_text(mLayout, utf8.c_str(), int(utf8.size()));
    pango_layout_set_alignment(mLayout, AlignmentFor(info.horizontalFlushness));
    if (width > 0 && width < 1e6) {
        pango_layout_set_width(mLayout, int((width + kWrapTolerance) * PANGO_SCALE));
        pango_layout_set_wrap(mLayout, PANGO_WRAP_WORD_CHAR);
        PangoEllipsizeMode const ellipsize = EllipsizeFor(info.truncationPosition);
        pango_layout_set_ellipsize(mLayout, ellipsize);
        if (ellipsize == PANGO_ELLIPSIZE_NONE)
            return;
        if (info.truncationMaxLines > 0)
            pango_layout_set_height(mLayout, -int(std::min<UInt32>(info.truncationMaxLines, 10000)));
        else if (height > 0 && height < 1e6)
            pango_layout_set_height(mLayout, int(height * PANGO_SCALE));
    }
}

TextLayout::~TextLayout()
{
    g_object_unref(mLayout);
    g_object_unref(mContext);
}

CGSize TextLayout::Size() const
{
    PangoRectangle logical;
    pango_layout_get_extents(mLayout, nullptr, &logical);
    return { std::ceil(CGFloat(logical.width) / PANGO_SCALE), std::ceil(CGFloat(logical.height) / PANGO_SCALE) };
}

CGFloat TextLayout::LastLineDescent() const
{
    int const count = pango_layout_get_line_count(mLayout);
    PangoLayoutLine* line = pango_layout_get_line_readonly(mLayout, count - 1);
    if (!line)
        return 0;
    PangoRectangle logical;
    pango_layout_line_get_extents(line, nullptr, &logical);
    return CGFloat(logical.y + logical.height) / PANGO_SCALE;
}

bool TextLayout::Truncated() const { return pango_layout_is_ellipsized(mLayout); }

} // namespace tw::quartz
