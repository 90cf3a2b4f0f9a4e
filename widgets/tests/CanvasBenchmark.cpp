#include "framework/CCarbonEvent.h"
#include "render/CCoreGraphicsUtilities.h"
#include "toolbox/HIViewCalls.h"
#include "toolbox/Window.h"
#include "toolbox/WindowCalls.h"
#include "widgets/CCanvasView.h"
#include "widgets/WidgetClasses.h"

#include <benchmark/benchmark.h>

namespace {

// A filled and framed rectangle, as simple map shapes are.
class Shape : public CCanvasObject {
public:
    void Draw(CGContextRef context) override
    {
        CGRect const bounds = GetBounds();
        CCoreGraphicsUtilities::SetFillColour(context, { 0.45f, 0.66f, 0.86f, 1 });
        CGContextFillRect(context, bounds);
        CCoreGraphicsUtilities::SetStrokeColour(context, { 0.1f, 0.2f, 0.4f, 1 });
        CGContextStrokeRect(context, bounds);
    }
};

struct Scene {
    WindowRef window = nullptr;
    CCanvasView* canvas = nullptr;
};

// A 1280 x 800 canvas over a 12800 x 8000 image holding 100 x 100 shapes, 10 x 10 of them in view.
Scene MakeScene()
{
    Scene scene;
    RegisterWidgetClasses();
    Rect const content { 0, 0, 800, 1280 };
    CreateNewWindow(kDocumentWindowClass, kWindowStandardDocumentAttributes, &content, &scene.window);
    ControlRef root = nullptr;
    GetRootControl(scene.window, &root);
    CGRect const frame = CGRectMake(0, 0, 1280, 800);
    CCarbonEvent init(kEventClassHIObject, kEventHIObjectInitialize);
    init.SetParameter(kEventParamInitialBounds, typeHIRect, sizeof frame, &frame);
    HIObjectRef object = nullptr;
    HIObjectCreate(CFSTR("net.pellmar.CCanvasView"), init.GetEvent(), &object);
    HIViewAddSubview(root, reinterpret_cast<HIViewRef>(object));
    CFRelease(object);
    scene.canvas = dynamic_cast<CCanvasView*>(CHIObject::GetHIObject(object));
    scene.canvas->SetImageSize({ 12800, 8000 });
    for (int row = 0; row < 100; ++row)
        for (int column = 0; column < 100; ++column) {
            auto* shape = new Shape;
            shape->SetBounds(CGRectMake(column * 128 + 14, row * 80 + 10, 100, 60));
            scene.canvas->AddObject(shape, nullptr);
            if ((row + column) % 7 == 0)
                shape->SetSelected(true);
        }
    ShowWindow(scene.window);
    tw::toolbox::LiveWindow(scene.window)->Update();
    return scene;
}

void RedrawWholeCanvasOfTenThousandObjects(benchmark::State& state)
{
    Scene const scene = MakeScene();
    scene.canvas->SetImageOrigin({ 6400, 4000 }, false);
    tw::toolbox::Window* window = tw::toolbox::LiveWindow(scene.window);
    for (auto _ : state) {
        HIViewSetNeedsDisplay(scene.canvas->GetHIViewRef(), true);
        window->Update();
    }
    DisposeWindow(scene.window);
}
BENCHMARK(RedrawWholeCanvasOfTenThousandObjects)->Unit(benchmark::kMillisecond);

// What a mouse move over empty canvas costs: the cursor's search finds nothing, from the top down.
void FindObjectMissingEverything(benchmark::State& state)
{
    Scene const scene = MakeScene();
    for (auto _ : state)
        benchmark::DoNotOptimize(scene.canvas->FindObject({ 7, 5 }, CCanvasObject::kAttributeObjectCursor, true));
    DisposeWindow(scene.window);
}
BENCHMARK(FindObjectMissingEverything)->Unit(benchmark::kMicrosecond);

} // namespace
