#pragma once

// One name the map may show: its text and style, the places it may go (each
// with the footprints it would reserve), an optional marker (a settlement's
// dot), and for the screen its text drawn once, with its halo, into a small
// image. Made by a render worker with everything measured; placed and drawn on
// the main thread. Move-only: it owns its image.

#include "foundation/CString.h"
#include "render/CMapStyles.h"

#include <vector>

class IMapView;

struct LabelPlacement {
    CGPoint centre {}; // [image px] of the text
    std::vector<CGRect> footprints; // [image px] of text and marker
};

// A name as a pass placed it: its text, what it covers [image px], its priority and identity.
struct ShownMapLabel {
    CString text;
    CGRect bounds;
    float priority;
    UInt64 id;
};

class CMapLabel {
public:
    // Measures the text (in capitals and spaced out when the style asks) at the size.
    CMapLabel(UInt64 id, float priority, CString const& text, LabelStyle const& style, float size, float angle);
    ~CMapLabel();
    CMapLabel(CMapLabel&& other) noexcept;
    CMapLabel& operator=(CMapLabel&& other) noexcept;
    CMapLabel(CMapLabel const&) = delete;
    CMapLabel& operator=(CMapLabel const&) = delete;

    UInt64 GetID() const { return mID; }
    float GetPriority() const { return mPriority; }
    CString const& GetText() const { return mText; }
    float GetAngle() const { return mAngle; } // [rad] clockwise on the screen
    CGSize GetTextSize() const { return mTextSize; } // [px] unrotated, without halo
    bool HasImage() const { return mImage != nullptr; }

    void AddPlacement(LabelPlacement placement) { mPlacements.push_back(std::move(placement)); }
    std::vector<LabelPlacement> const& GetPlacements() const { return mPlacements; }
    void SetMarker(MapStyle const& style, CGPoint centre, float diameter);
    // Moves every position by the offset (from tile to image coordinates).
    void Offset(CGFloat dx, CGFloat dy);

    // Draws the text with its halo into an image of its own; memFullErr when it cannot.
    OSStatus RenderImage();
    // The first placement whose footprints are all free, reserved through the view; -1 when none is.
    int Place(IMapView& view) const;
    // The same, among the places where the name and its marker lie wholly within the area.
    int Place(IMapView& view, CGRect const& within) const;
    // Draws the marker and the text at the placement: the image, or with vectors set the glyphs
    // themselves (for the printer).
    void Draw(CGContextRef context, int placement, bool vectors) const;
    // What the placement covers on the screen, marker included [image px].
    CGRect GetBounds(int placement) const;

    // The text's size at the style and size [px], without halo.
    static CGSize MeasureText(CString const& text, LabelStyle const& style, float size);

private:
    int PlaceWithin(IMapView& view, CGRect const* within) const;
    void DrawText(CGContextRef context, CGPoint centre) const;
    void DrawMarker(CGContextRef context) const;
    CGRect GetImageRect(CGPoint centre) const;
    void Release();

    UInt64 mID;
    float mPriority;
    CString mText; // as shown
    LabelStyle const* mStyle; // borrowed from the style table
    float mSize; // [px]
    float mAngle; // [rad]
    CGSize mTextSize {}; // [px] without halo
    CGSize mImageSize {}; // [px]
    std::vector<LabelPlacement> mPlacements;
    MapStyle const* mMarkerStyle = nullptr; // borrowed; null: no marker
    CGPoint mMarkerCentre {};
    float mMarkerDiameter = 0; // [px]
    CGImageRef mImage = nullptr; // owns
};
