#include "toolbox/Sound.h"

#include "events/CarbonEvents.h"
#include "toolbox/ScreenSink.h"

#include <cstdint>

namespace tw::toolbox {

namespace {

    UInt32 sCount = 0;
    std::uintptr_t sLatest = 0; // the beep whose flash shows
    bool sFlashing = false;

    void ShowMenuBar() { Screen::Changed({ { 0, 0 }, { Screen::GetSize().width, Screen::kMenuBarHeight } }); }

    // Each beep has a one-shot timer of its own; only the latest one ends the flash.
    void EndFlash(EventLoopTimerRef timer, void* beep)
    {
        RemoveEventLoopTimer(timer);
        if (reinterpret_cast<std::uintptr_t>(beep) != sLatest || !sFlashing)
            return;
        sFlashing = false;
        ShowMenuBar();
    }

} // namespace

UInt32 Beeper::Count() { return sCount; }

bool Beeper::IsFlashing() { return sFlashing; }

void Beeper::ResetForTesting()
{
    sCount = 0;
    ++sLatest; // a timer still pending ends nothing
    sFlashing = false;
}

} // namespace tw::toolbox

void SysBeep(short)
{
    using namespace tw::toolbox;
    ++sCount;
    ++sLatest;
    EventLoopTimerRef timer = nullptr;
    if (InstallEventLoopTimer(
            GetMainEventLoop(), Beeper::kFlashSeconds, 0, EndFlash, reinterpret_cast<void*>(sLatest), &timer)
        != noErr)
        return;
    sFlashing = true;
    ShowMenuBar();
}
