#include "render/CMapLabel.h"

#include "render/CCoreGraphicsUtilities.h"
#include "render/IMapView.h"

#include <cmath>
#include <utility>

namespace {

constexpr float kThemeTextSize = 13; // [px] of the theme fonts the labels are scaled from
constexpr CGFloat kItalicSlant = 0.21; // x shift per unit of height
constexpr UniChar kHairSpace = 0x200A;
constexpr ColourRGBA kAirportFill { 0.42f, 0.36f, 0.52f, 1 };
constexpr ColourRGBA kWhite { 1, 1, 1, 1 };

HIThemeTextInfo TextInfo(LabelStyle const& style)
{
    HIThemeTextInfo info;
    info.fontID = style.bold ? kThemeEmphasizedSystemFont : kThemeSystemFont;
    info.horizontalFlushness = kHIThemeTextHorizontalFlushCenter;
    info.verticalFlushness = kHIThemeTextVerticalFlushCenter;
    return info;
}

CString Shown(CString const& text, LabelStyle const& style)
{
    CString shown = text;
    if (style.upper) {
        CFMutableStringRef upper = CFStringCreateMutableCopy(nullptr, 0, text.GetCFString());
        CFStringUppercase(upper, nullptr);
        shown = CString(upper, true);
    }
    if (style.tracking == 0)
        return shown;
    std::u16string spaced;
    UniChar const* units = shown.GetUTF16();
    for (UInt32 i = 0; i < shown.GetLength(); ++i) {
        spaced.push_back(units[i]);
        bool const leadSurrogate = units[i] >= 0xD800 && units[i] < 0xDC00;
        if (!leadSurrogate && i + 1 < shown.GetLength() && units[i] != ' ')
            spaced.append(style.tracking, kHairSpace);
    }
    return CString(reinterpret_cast<UniChar const*>(spaced.c_str()));
}

} // namespace

CMapLabel::CMapLabel(UInt64 id, float priority, CString const& text, LabelStyle const& style, float size, float angle)
    : mID(id)
    , mPriority(priority)
    , mText(Shown(text, style))
    , mStyle(&style)
    , mSize(size)
    , mAngle(angle)
{
    mTextSize = MeasureText(mText, style, size);
    CGFloat const halo = 2 * std::ceil(style.haloWidth) + 2;
    CGFloat const c = std::fabs(std::cos(angle)), s = std::fabs(std::sin(angle));
    mImageSize = CGSizeMake(std::ceil(mTextSize.width * c + mTextSize.height * s + halo),
        std::ceil(mTextSize.width * s + mTextSize.height * c + halo));
}

CMapLabel::~CMapLabel() { Release(); }

CMapLabel::CMapLabel(CMapLabel&& other) noexcept
    : mID(other.mID)
    , mPriority(other.mPriority)
    , mText(std::move(other.mText))
    , mStyle(other.mStyle)
    , mSize(other.mSize)
    , mAngle(other.mAngle)
    , mTextSize(other.mTextSize)
    , mImageSize(other.mImageSize)
    , mPlacements(std::move(other.mPlacements))
    , mMarkerStyle(other.mMarkerStyle)
    , mMarkerCentre(other.mMarkerCentre)
    , mMarkerDiameter(other.mMarkerDiameter)
    , mImage(std::exchange(other.mImage, nullptr))
{
}

CMapLabel& CMapLabel::operator=(CMapLabel&& other) noexcept
{
    if (this != &other) {
        Release();
        mID = other.mID;
        mPriority = other.mPriority;
        mText = std::move(other.mText);
        mStyle = other.mStyle;
        mSize = other.mSize;
        mAngle = other.mAngle;
        mTextSize = other.mTextSize;
        mImageSize = other.mImageSize;
        mPlacements = std::move(other.mPlacements);
        mMarkerStyle = other.mMarkerStyle;
        mMarkerCentre = other.mMarkerCentre;
        mMarkerDiameter = other.mMarkerDiameter;
        mImage = std::exchange(other.mImage, nullptr);
    }
    return *this;
}

void CMapLabel::Release()
{
    if (mImage)
        CGImageRelease(std::exchange(mImage, nullptr));
}

CGSize CMapLabel::MeasureText(CString const& text, LabelStyle const& style, float size)
{
    HIThemeTextInfo info = TextInfo(style);
    CGFloat width = 0, height = 0;
    if (HIThemeGetTextDimensions(text.GetCFString(), 0, &info, &width, &height, nullptr) != noErr)
        return CGSizeZero;
    CGFloat const scale = size / kThemeTextSize;
    CGFloat const slant = style.italic ? kItalicSlant * height : 0;
    return CGSizeMake(std::ceil((width + slant) * scale), std::ceil(height * scale));
}

void CMapLabel::SetMarker(MapStyle const& style, CGPoint centre, float diameter)
{
    mMarkerStyle = &style;
    mMarkerCentre = centre;
    mMarkerDiameter = diameter;
}

void CMapLabel::Offset(CGFloat dx, CGFloat dy)
{
    mMarkerCentre.x += dx;
    mMarkerCentre.y += dy;
    for (LabelPlacement& placement : mPlacements) {
        placement.centre.x += dx;
        placement.centre.y += dy;
        for (CGRect& footprint : placement.footprints)
            footprint = CGRectOffset(footprint, dx, dy);
    }
}

void CMapLabel::DrawText(CGContextRef context, CGPoint centre) const
{
    HIThemeTextInfo info = TextInfo(*mStyle);
    CFStringRef const text = mText.GetCFString();
    CGFloat width = 0, height = 0;
    HIThemeGetTextDimensions(text, 0, &info, &width, &height, nullptr);
    CGFloat const scale = mSize / kThemeTextSize;
    CGContextSaveGState(context);
    CGContextTranslateCTM(context, centre.x, centre.y);
    CGContextRotateCTM(context, mAngle);
    CGContextScaleCTM(context, scale, scale);
    if (mStyle->italic)
        CGContextConcatCTM(context, CGAffineTransform { 1, 0, -kItalicSlant, 1, 0, 0 });
    // A little wider than measured, so that the text never wraps.
    CGRect const box = CGRectMake(-width / 2 - 1, -height / 2, width + 2, height);
    if (mStyle->haloWidth > 0 && mStyle->halo.alpha > 0) {
        CCoreGraphicsUtilities::SetStrokeColour(context, mStyle->halo);
        CGContextSetLineWidth(context, 2 * mStyle->haloWidth / scale);
        CGContextSetLineJoin(context, kCGLineJoinRound);
        CGContextSetTextDrawingMode(context, kCGTextStroke);
        HIThemeDrawTextBox(text, &box, &info, context, kHIThemeOrientationNormal);
    }
    CCoreGraphicsUtilities::SetFillColour(context, mStyle->colour);
    CGContextSetTextDrawingMode(context, kCGTextFill);
    HIThemeDrawTextBox(text, &box, &info, context, kHIThemeOrientationNormal);
    CGContextRestoreGState(context);
}

void CMapLabel::DrawMarker(CGContextRef context) const
{
    if (!mMarkerStyle || mMarkerDiameter <= 0)
        return;
    CGFloat const radius = mMarkerDiameter / 2;
    CGContextSaveGState(context);
    CGContextBeginPath(context);
    CCoreGraphicsUtilities::AddCircle(context, mMarkerCentre, float(radius));
    if (mMarkerStyle->marker == MarkerKind::kAirport) {
        CCoreGraphicsUtilities::SetFillColour(context, kAirportFill);
        CGContextFillPath(context);
        // A plane seen from above: fuselage and wings.
        CCoreGraphicsUtilities::SetStrokeColour(context, kWhite);
        CGContextSetLineWidth(context, std::max<CGFloat>(1, radius / 4));
        CGContextSetLineCap(context, kCGLineCapRound);
        CGPoint const c = mMarkerCentre;
        CGPoint const lines[] = { { c.x, c.y - radius * 0.6 }, { c.x, c.y + radius * 0.6 },
            { c.x - radius * 0.55, c.y - radius * 0.05 }, { c.x + radius * 0.55, c.y - radius * 0.05 },
            { c.x - radius * 0.25, c.y + radius * 0.45 }, { c.x + radius * 0.25, c.y + radius * 0.45 } };
        CGContextStrokeLineSegments(context, lines, 6);
    } else {
        CCoreGraphicsUtilities::SetFillColour(context, mMarkerStyle->fill);
        CCoreGraphicsUtilities::SetStrokeColour(context, mMarkerStyle->stroke);
        CGContextSetLineWidth(context, EvaluateRamp(mMarkerStyle->width, 0));
        CGContextDrawPath(context, kCGPathFillStroke);
        if (mMarkerStyle->marker == MarkerKind::kCapital) {
            CGContextBeginPath(context);
            CCoreGraphicsUtilities::AddCircle(context, mMarkerCentre, float(radius / 2.5));
            CCoreGraphicsUtilities::SetFillColour(context, mMarkerStyle->stroke);
            CGContextFillPath(context);
        }
    }
    CGContextRestoreGState(context);
}

OSStatus CMapLabel::RenderImage()
{
    Release();
    size_t const width = size_t(mImageSize.width), height = size_t(mImageSize.height);
    if (width == 0 || height == 0)
        return paramErr;
    CGContextRef context = CGBitmapContextCreate(
        nullptr, width, height, 8, 0, nullptr, kCGImageAlphaPremultipliedFirst | kCGBitmapByteOrder32Host);
    if (!context)
        return memFullErr;
    CGContextTranslateCTM(context, 0, CGFloat(height));
    CGContextScaleCTM(context, 1, -1);
    DrawText(context, CGPointMake(CGFloat(width) / 2, CGFloat(height) / 2));
    mImage = CGBitmapContextCreateImage(context);
    CGContextRelease(context);
    return mImage ? noErr : memFullErr;
}

CGRect CMapLabel::GetImageRect(CGPoint centre) const
{
    return CGRectMake(std::floor(centre.x - mImageSize.width / 2 + 0.5),
        std::floor(centre.y - mImageSize.height / 2 + 0.5), mImageSize.width, mImageSize.height);
}

int CMapLabel::Place(IMapView& view) const { return PlaceWithin(view, nullptr); }

int CMapLabel::Place(IMapView& view, CGRect const& within) const { return PlaceWithin(view, &within); }

int CMapLabel::PlaceWithin(IMapView& view, CGRect const* within) const
{
    for (std::size_t i = 0; i < mPlacements.size(); ++i) {
        if (within) {
            CGRect const bounds = GetBounds(int(i));
            if (CGRectGetMinX(bounds) < CGRectGetMinX(*within) || CGRectGetMinY(bounds) < CGRectGetMinY(*within)
                || CGRectGetMaxX(bounds) > CGRectGetMaxX(*within) || CGRectGetMaxY(bounds) > CGRectGetMaxY(*within))
                continue;
        }
        auto const& footprints = mPlacements[i].footprints;
        bool free = true;
        for (CGRect const& footprint : footprints)
            free = free && view.AddFootprint(footprint, false);
        if (!free)
            continue;
        for (CGRect const& footprint : footprints)
            view.AddFootprint(footprint, true);
        return int(i);
    }
    return -1;
}

void CMapLabel::Draw(CGContextRef context, int placement, bool vectors) const
{
    if (placement < 0 || std::size_t(placement) >= mPlacements.size())
        return;
    DrawMarker(context);
    CGPoint const centre = mPlacements[std::size_t(placement)].centre;
    if (vectors || !mImage) {
        DrawText(context, centre);
        return;
    }
    CGRect const rect = GetImageRect(centre);
    HIViewDrawCGImage(context, &rect, mImage);
}

CGRect CMapLabel::GetBounds(int placement) const
{
    if (placement < 0 || std::size_t(placement) >= mPlacements.size())
        return CGRectNull;
    CGRect bounds = GetImageRect(mPlacements[std::size_t(placement)].centre);
    if (mMarkerStyle && mMarkerDiameter > 0) {
        CGFloat const r = mMarkerDiameter / 2 + 1;
        bounds = CGRectUnion(bounds, CGRectMake(mMarkerCentre.x - r, mMarkerCentre.y - r, 2 * r, 2 * r));
    }
    return bounds;
}
