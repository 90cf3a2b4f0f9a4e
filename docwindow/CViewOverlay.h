#pragma once

// The transparent view over a document window's map: the distance scale bar
// in the lower left corner, the zoom slider that fades in while the user
// zooms with Command and the wheel, and the highlight of a drop. It takes the
// window's drops of files (imported) and links (offered as places). Clicks
// pass through it to the map. Main thread only.

#include "bindings/Source/Core/CBKeyValueObserver.h"
#include "foundation/CMsgListener.h"
#include "foundation/CTimerTask.h"
#include "framework/CCursor.h"
#include "foundation/ColourRGBA.h"
#include "widgets/CHIView.h"

class CMacWindow;
class CViewMap;
class IOverlayDocument;

class CViewOverlay : public CHIView, public CMsgListener, public CTimerTask, public CBKeyValueObserver {
public:
    static constexpr char const* kClassID = "com.tarnwick.hiview.overlay";
    static constexpr UInt32 kZoomMinimum = 0;
    static constexpr UInt32 kZoomLevels = 18;

    // Round distances the bar may stand for: metres, or miles in imperial units.
    static constexpr unsigned long kMapScales[24] = { 1, 2, 5, 10, 20, 50, 100, 200, 500, 1000, 2000, 5000, 10000,
        20000, 50000, 100000, 200000, 500000, 1000000, 2000000, 5000000, 10000000, 20000000, 50000000 };
    static constexpr double kScaleMinimum = 80; // [px] the shortest bar
    static constexpr double kMetresPerMile = 1609.344;
    static constexpr double kMilesPerMetre = 0.0006213711922373339;
    static constexpr double kFadeStep = 0.25;
    static constexpr double kFadeInterval = 0.03; // [s]

    static constexpr CGRect kZoomBoundsBezel { { 0, 0 }, { 400, 80 } };
    static constexpr CGRect kZoomBoundsSlider { { 0, 0 }, { 350, 6 } };
    static constexpr CGRect kZoomBoundsTick { { 0, 0 }, { 6, 26 } };
    static constexpr CGRect kZoomBoundsThumb { { 0, 0 }, { 12, 38 } };
    static constexpr ColourRGBA kColourZoomBezel { 0, 0, 0, 0.4f };
    static constexpr ColourRGBA kColourZoomBezelBorder { 1, 1, 1, 0.3f };
    static constexpr ColourRGBA kColourZoomSlider { 0.7f, 0.7f, 0.7f, 1 };
    static constexpr ColourRGBA kColourZoomSliderBorder { 0.9f, 0.9f, 0.9f, 1 };
    static constexpr ColourRGBA kColourZoomSliderThumb { 0.4f, 0.4f, 0.4f, 1 };
    static constexpr ColourRGBA kColourScaleFill { 0, 0, 0, 0.9f };
    static constexpr ColourRGBA kColourScaleFrame { 1, 1, 1, 0.8f };
    static constexpr float kShadowNormalBlur = 3.0f;

    // What the bar shows: its length and the distance its label names.
    struct Scale {
        double length = 0; // [px] whole
        double metres = 0; // the distance handed to the distance text
    };

    explicit CViewOverlay(HIObjectRef view);
    // Made in code over the window's content, and added to its root view.
    CViewOverlay(CMacWindow* window, CGRect const& frame);
    ~CViewOverlay() override;

    static OSStatus Register();
    static OSStatus Create(HIObjectRef object, CHIObject** outObject);

    // The document whose map the overlay measures and to which drops go; it listens to the
    // document's map view from now on.
    void SetDocument(IOverlayDocument* document);
    IOverlayDocument* GetDocument() const { return mDocument; }

    void SetZoomVisible(bool visible);
    bool IsZoomVisible() const { return mZoomVisible; }
    void SetZoomLevel(unsigned long level);
    unsigned long GetZoomLevel() const { return mZoomLevel; }
    float GetZoomAlpha() const { return mZoomAlpha; }
    bool IsDropHighlighted() const { return mDropHighlight; }

    // The bar as last computed (recomputed first when due).
    CGRect GetScaleBounds();
    CString GetScaleText();

    // The bar for a map where one pixel spans that many metres (metric) or miles (imperial).
    static Scale ChooseScale(double perPixel, bool imperial);
    // The length of ground one pixel spans across the middle of the map, measured over at
    // most half the world's width; 0 when nothing can be measured.
    static double GetMetresPerPixel(CViewMap* map);
    // The slider shape of a level, in the bezel laid in the view's bounds.
    static CGRect GetZoomShape(CGRect const& bounds, CGRect const& shape, unsigned long level);

    OSStatus DoEventControlDraw(CCarbonEvent& event) override;
    OSStatus DoEventControlDragEnter(CCarbonEvent& event) override;
    OSStatus DoEventControlDragWithin(CCarbonEvent& event) override;
    OSStatus DoEventControlDragLeave(CCarbonEvent& event) override;
    OSStatus DoEventControlDragReceive(CCarbonEvent& event) override;
    void DoMessage(UInt32 message, void* parameter) override;
    void ValueChanged(CBKeyValueStore const* store, CBString const& keyPath) override;

protected:
    void DoTimer() override;

private:
    void InitialiseSelf();
    void UpdateScale();
    void DrawScale(CGContextRef context);
    void DrawHighlight(CGContextRef context);
    void DrawZoom(CGContextRef context);
    void SetHighlight(bool highlight);
    void ScaleChanged();
    bool IsImperial() const;

    IOverlayDocument* mDocument = nullptr; // weak: the document owns the window that owns us
    CViewMap* mMapView = nullptr; // weak: told when it dies
    bool mDropHighlight = false;
    bool mZoomVisible = false;
    unsigned long mZoomLevel = kZoomMinimum;
    float mZoomAlpha = 0;
    bool mScaleDirty = true;
    CGRect mScaleBounds = CGRectZero;
    CString mScaleText;
    CCursor mCursor;
};
