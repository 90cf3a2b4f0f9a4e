#include "widgets/CCanvasInvalidator.h"

#include "widgets/CCanvasView.h"

namespace {

constexpr double kDelay = 0.001; // [s]

} // namespace

void CCanvasInvalidator::SetNeedsDisplay(CGRect const&)
{
    if (!IsInstalled())
        InstallTimer(kDelay, kDelay);
}

void CCanvasInvalidator::DoTimer()
{
    RemoveTimer();
    mCanvas->SetNeedsDisplay(true, nullptr);
}
