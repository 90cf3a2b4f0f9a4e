#include "widgets/CViewInvalidator.h"

#include "toolbox/HIObject.h"
#include "toolbox/View.h"
#include "widgets/CHIView.h"
#include "widgets/CHIViewUtilities.h"

#include <map>

namespace {

std::map<HIViewRef, CViewInvalidator*>& PendingByView()
{
    static std::map<HIViewRef, CViewInvalidator*> pending; // weak: each removes itself
    return pending;
}

std::size_t sLive = 0;

} // namespace

CViewInvalidator::CViewInvalidator(CHIView* view, CGRect const* rect, double delay, double interval)
    : mView(view)
    , mViewRef(view ? view->GetHIViewRef() : nullptr)
    , mSerial(mViewRef ? mViewRef->GetSerial() : 0)
    , mWholeView(rect == nullptr)
    , mRect(rect ? *rect : CGRect {})
{
    ++sLive;
    if (interval == 0 && mViewRef)
        PendingByView()[mViewRef] = this;
    InstallTimer(delay, interval);
}

CViewInvalidator::~CViewInvalidator()
{
    --sLive;
    auto const it = PendingByView().find(mViewRef);
    if (it != PendingByView().end() && it->second == this)
        PendingByView().erase(it);
}

CViewInvalidator* CViewInvalidator::Pending(HIViewRef view)
{
    auto const it = PendingByView().find(view);
    return it == PendingByView().end() ? nullptr : it->second;
}

void CViewInvalidator::Restart(CGRect const* rect, double delay)
{
    if (!rect)
        mWholeView = true;
    else if (!mWholeView)
        mRect = CGRectUnion(mRect, *rect);
    SetNextFireTime(delay);
}

std::size_t CViewInvalidator::GetLiveCount() { return sLive; }

void CViewInvalidator::DoTimer()
{
    bool const alive = tw::toolbox::HIObject::IsSerialLive(mViewRef, mSerial)
        && CHIViewUtilities::GetCHIView(mViewRef, false) == mView;
    if (alive)
        mView->SetNeedsDisplay(true, mWholeView ? nullptr : &mRect);
    if (!alive || !IsRepeating())
        delete this;
}
