#pragma once

// Drawing helpers over a Quartz context: colours, shadows, round shapes,
// theme text, the hairline width and image loading. Called on the thread that
// draws into the context.

#include "foundation/ColourRGBA.h"
#include "platform/Platform.h"

class CFile;
class CString;

// The normal shadow of drawn symbols.
inline constexpr ColourRGBA kShadowNormalColour { 0, 0, 0, 1 };
inline constexpr float kShadowNormalBlur = 3.0f;

class CCoreGraphicsUtilities {
public:
    static void SetFillColour(CGContext* context, ColourRGBA const& colour);
    static void SetStrokeColour(CGContext* context, ColourRGBA const& colour);
    // Offset in device space (y up), blur in device pixels; a transparent colour turns the shadow off.
    static void SetShadowColour(CGContextRef context, ColourRGBA const& colour, float blur, CGSize offset);

    // Each adds a closed subpath of its own to the context's path.
    static void AddCircle(CGContext* context, CGPoint const& centre, float radius);
    static void AddEllipse(CGContext* context, CGRect const& rect);
    static void AddRoundRect(CGContext* context, CGRect const& rect, float radius);

    // Theme text in the context's fill colour and text drawing mode. The flag carries no
    // meaning here; orientation goes on to the theme.
    static void DrawString(CGContext* context, CString const& text, CGRect const& rect, HIThemeTextInfo const& info,
        bool, UInt32 orientation);

    // The user-space width of one device pixel.
    static CGFloat GetHairlineWidth(CGContext* context);

    // The image in the file at the given size (a zero size: its own); null when the file cannot
    // be read or the size is impossible. The caller releases it.
    static CGImageRef LoadImage(CFile const& file, CGSize const& size);
};
