#pragma once

#include "foundation/CTimerTask.h"
#include "quartz/CGGeometry.h"
#include "toolbox/HIToolboxTypes.h"

#include <cstdint>

class CHIView;

// A delayed (or repeated) redraw of one view. There is at most one pending
// one-shot invalidator per view: a further request restarts its delay and widens
// its area, so a burst of scrolls gives one redraw. It owns itself, deletes
// itself after its last firing, and skips a view that is gone.
class CViewInvalidator : public CTimerTask {
public:
    CViewInvalidator(CHIView* view, CGRect const* rect, double delay, double interval);
    ~CViewInvalidator() override;

    // The pending one-shot invalidator of a view, or null.
    static CViewInvalidator* Pending(HIViewRef view);
    // Restarts the delay and adds the area (null: the whole view).
    void Restart(CGRect const* rect, double delay);
    static std::size_t GetLiveCount();

protected:
    void DoTimer() override;

private:
    CHIView* mView; // weak: checked through the view reference before use
    HIViewRef mViewRef; // weak
    std::uint64_t mSerial; // tells a new view at a reused address from the one asked for
    bool mWholeView;
    CGRect mRect {}; // view coordinates
};
