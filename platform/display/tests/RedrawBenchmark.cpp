// A full redraw of a window holding 200 views, each drawing a filled and stroked rectangle.

#include "display/WindowServer.h"
#include "quartz/CGContext.h"
#include "toolbox/HIObjectCalls.h"
#include "toolbox/HIViewCalls.h"
#include "toolbox/Window.h"
#include "toolbox/WindowCalls.h"

#include <benchmark/benchmark.h>

namespace {

OSStatus DrawBox(EventHandlerCallRef, EventRef event, void*)
{
    CGContextRef context = nullptr;
    GetEventParameter(event, kEventParamCGContextRef, typeCGContextRef, nullptr, sizeof context, nullptr, &context);
    CGContextSetRGBFillColor(context, 0.2, 0.5, 0.8, 1);
    CGContextFillRect(context, CGRectMake(0, 0, 30, 20));
    CGContextSetRGBStrokeColor(context, 0, 0, 0, 1);
    CGContextStrokeRect(context, CGRectMake(0.5, 0.5, 29, 19));
    return noErr;
}

void FullRedrawOf200Views(benchmark::State& state)
{
    tw::display::WindowServer::Get();
    Rect const bounds { 60, 40, 660, 840 };
    WindowRef window = nullptr;
    CreateNewWindow(kDocumentWindowClass, kWindowStandardDocumentAttributes, &bounds, &window);
    HIViewRef content = nullptr;
    GetRootControl(window, &content);
    EventTypeSpec const draw { kEventClassControl, kEventControlDraw };
    for (int i = 0; i < 200; ++i) {
        HIObjectRef object = nullptr;
        HIObjectCreate(CFSTR("com.apple.HIUserPane"), nullptr, &object);
        auto view = reinterpret_cast<HIViewRef>(object);
        HIRect const frame = CGRectMake(10 + (i % 20) * 38, 10 + (i / 20) * 28, 30, 20);
        HIViewSetFrame(view, &frame);
        InstallEventHandler(GetControlEventTarget(view), DrawBox, 1, &draw, nullptr, nullptr);
        HIViewAddSubview(content, view);
        CFRelease(view);
    }
    ShowWindow(window);
    for (auto _ : state) {
        HIViewSetNeedsDisplay(content, true);
        window->Update();
    }
    DisposeWindow(window);
}
BENCHMARK(FullRedrawOf200Views)->Unit(benchmark::kMicrosecond);

} // namespace
