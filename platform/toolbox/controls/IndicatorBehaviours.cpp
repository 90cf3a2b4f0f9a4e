#include "toolbox/controls/Behaviours.h"
#include "toolbox/controls/ControlBehaviour.h"
#include "toolbox/controls/ControlDefinitions.h"
#include "toolbox/controls/ControlTheme.h"

namespace tw::toolbox::controls {

namespace {

    constexpr EventTimerInterval kAnimationStep = 1.0 / 15; // [s]

    // A control that animates while it shows: an event-loop timer steps its phase
    // and redraws it; the timer goes with the behaviour.
    class AnimatedBehaviour : public Behaviour {
    public:
        using Behaviour::Behaviour;
        ~AnimatedBehaviour() override { SetAnimating(false); }

    protected:
        ControlPartCode HitTest(CGPoint) override { return kControlNoPart; }

        void SetAnimating(bool on)
        {
            if (on && !mTimer)
                InstallEventLoopTimer(GetMainEventLoop(), kAnimationStep, kAnimationStep, Step, this, &mTimer);
            else if (!on && mTimer) {
                RemoveEventLoopTimer(mTimer);
                mTimer = nullptr;
            }
        }
        bool IsAnimating() const { return mTimer != nullptr; }

        int mPhase = 0;

    private:
        static void Step(EventLoopTimerRef, void* data)
        {
            auto* self = static_cast<AnimatedBehaviour*>(data);
            ++self->mPhase;
            if (self->mView->IsVisible())
                self->mView->Invalidate();
        }

        EventLoopTimerRef mTimer = nullptr; // owns
    };

    // A progress bar, determinate (the value between minimum and maximum) or
    // indeterminate (moving stripes, animated).
    class ProgressBehaviour : public AnimatedBehaviour {
    public:
        using AnimatedBehaviour::AnimatedBehaviour;

    protected:
        OSStatus Draw(CGContextRef c) override
        {
            ControlValues const& v = mView->Values();
            double const fraction
                = v.maximum > v.minimum ? double(v.value - v.minimum) / (double(v.maximum) - v.minimum) : 0;
            ControlTheme::DrawProgressBar(c, mView->GetBounds(), fraction, mIndeterminate, mPhase, mView->IsEnabled());
            return noErr;
        }

        OSStatus SetData(ControlPartCode, OSType tag, Size size, void const* data) override
        {
            Boolean flag = false;
            if (tag != kControlProgressBarIndeterminateTag && tag != kControlProgressBarAnimatingTag)
                return eventNotHandledErr;
            TW_RETURN_STATUS(Read(size, data, &flag));
            if (tag == kControlProgressBarIndeterminateTag)
                mIndeterminate = flag;
            else
                mAnimates = flag;
            SetAnimating(mIndeterminate && mAnimates);
            mView->Invalidate();
            return noErr;
        }

        OSStatus GetData(ControlPartCode, OSType tag, Size bufferSize, void* data, Size* actualSize) override
        {
            if (tag == kControlProgressBarIndeterminateTag)
                return Write(Boolean(mIndeterminate), bufferSize, data, actualSize);
            if (tag == kControlProgressBarAnimatingTag)
                return Write(Boolean(mAnimates), bufferSize, data, actualSize);
            return eventNotHandledErr;
        }

    private:
        bool mIndeterminate = false;
        bool mAnimates = true;
    };

    // Chasing arrows: a spinner that turns while animating (from creation on).
    class ChasingArrowsBehaviour : public AnimatedBehaviour {
    public:
        explicit ChasingArrowsBehaviour(View* view)
            : AnimatedBehaviour(view)
        {
            SetAnimating(true);
        }

    protected:
        OSStatus Draw(CGContextRef c) override
        {
            ControlTheme::DrawChasingArrows(c, mView->GetBounds(), mPhase);
            return noErr;
        }

        OSStatus SetData(ControlPartCode, OSType tag, Size size, void const* data) override
        {
            if (tag != kControlChasingArrowsAnimatingTag)
                return eventNotHandledErr;
            Boolean flag = false;
            TW_RETURN_STATUS(Read(size, data, &flag));
            SetAnimating(flag);
            return noErr;
        }

        OSStatus GetData(ControlPartCode, OSType tag, Size bufferSize, void* data, Size* actualSize) override
        {
            if (tag != kControlChasingArrowsAnimatingTag)
                return eventNotHandledErr;
            return Write(Boolean(IsAnimating()), bufferSize, data, actualSize);
        }
    };

} // namespace

Behaviour* MakeProgressBar(View* view) { return new ProgressBehaviour(view); }
Behaviour* MakeChasingArrows(View* view) { return new ChasingArrowsBehaviour(view); }

} // namespace tw::toolbox::controls
