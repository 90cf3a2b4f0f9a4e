#pragma once

#include "foundation/CTimerTask.h"

#include <vector>

class CCanvasView;

// Gathers the invalidations a canvas receives while it draws into one redraw of the
// areas named 1 ms later, placed where the image is then (a scroll may come between).
// Owned by its canvas. Main thread only.
class CCanvasInvalidator : public CTimerTask {
public:
    explicit CCanvasInvalidator(CCanvasView* canvas)
        : mCanvas(canvas)
    {
    }

    // rect: image coordinates; any number of requests before the timer fires make one redraw.
    void SetNeedsDisplay(CGRect const& rect);

protected:
    void DoTimer() override;

private:
    CCanvasView* mCanvas; // weak: the canvas owns this object
    std::vector<CGRect> mAreas; // image coordinates
};
