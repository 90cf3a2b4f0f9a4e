#include "events/Target.h"
#include "framework/CCarbonEvent.h"
#include "tests/support/ManualClock.h"

#include <cmath>
#include <cstring>
#include <gtest/gtest.h>

namespace {

template <typename T> bool SameBytes(T const& a, T const& b) { return std::memcmp(&a, &b, sizeof(T)) == 0; }

TEST(CCarbonEvent, EveryTypedParameterRoundTrips)
{
    int objects[8] = {};
    auto window = reinterpret_cast<WindowRef>(&objects[0]);
    auto control = reinterpret_cast<ControlRef>(&objects[1]);
    auto context = reinterpret_cast<CGContextRef>(&objects[2]);
    auto item = reinterpret_cast<HIToolbarItemRef>(&objects[3]);
    auto target = reinterpret_cast<EventTargetRef>(&objects[4]);
    CCarbonEvent event('test', 1);
    ASSERT_TRUE(event.IsValid());

    EXPECT_EQ(event.SetParameterBool('bool', true), noErr);
    EXPECT_EQ(event.SetParameterUInt32('u32 ', 0xDEADBEEF), noErr);
    EXPECT_EQ(event.SetParameterPointer('ptr ', &objects[5]), noErr);
    EXPECT_EQ(event.SetParameterHISize('size', CGSizeMake(1e9, -2.5)), noErr);
    EXPECT_EQ(event.SetParameterHIRect('rect', CGRectMake(1.5, 2.5, 3.5, 4.5)), noErr);
    EXPECT_EQ(event.SetParameterHIPoint('pnt ', CGPointMake(-7.25, 8.5)), noErr);
    EXPECT_EQ(event.SetParameterHIToolbarItem('item', item), noErr);
    EXPECT_EQ(event.SetParameterWindow('wind', window), noErr);
    EXPECT_EQ(event.SetParameterControlPartCode('part', -3), noErr);
    EXPECT_EQ(event.SetControlRef(control), noErr);
    EXPECT_EQ(event.SetMouseButton(2), noErr);
    EXPECT_EQ(event.SetCGContext(context), noErr);
    EXPECT_EQ(event.SetDragAccept(true), noErr);
    EXPECT_EQ(event.SetMouseLocation(CGPointMake(100.75, -20.5)), noErr);
    EXPECT_EQ(event.SetMouseDelta(CGPointMake(3, -4)), noErr);
    EXPECT_EQ(event.SetKeyModifiers(cmdKey | shiftKey), noErr);
    EXPECT_EQ(event.SetMouseClickCount(2), noErr);
    EXPECT_EQ(event.SetEventTarget(target), noErr);
    EXPECT_EQ(event.SetParameterQDPoint('qdpt', Point { 5, 6 }), noErr);

    EXPECT_TRUE(event.GetParameterBool('bool'));
    EXPECT_EQ(event.GetParameterUInt32('u32 '), 0xDEADBEEFu);
    EXPECT_EQ(event.GetParameterPointer('ptr '), &objects[5]);
    EXPECT_EQ(event.GetParameterHIRect('rect').size.height, 4.5);
    EXPECT_TRUE(SameBytes(event.GetParameterHIPoint('pnt '), CGPointMake(-7.25, 8.5)));
    EXPECT_EQ(event.GetParameterWindow('wind'), window);
    EXPECT_EQ(event.GetParameterControlPartCode('part'), -3);
    EXPECT_EQ(event.GetMouseButton(), 2);
    EXPECT_EQ(event.GetCGContext(), context);
    EXPECT_TRUE(event.GetParameterBool(kEventParamControlWouldAcceptDrop));
    EXPECT_TRUE(SameBytes(event.GetMouseDelta(), CGPointMake(3, -4)));
    EXPECT_EQ(event.GetKeyModifiers(), UInt32(cmdKey | shiftKey));
    EXPECT_EQ(event.GetMouseClickCount(), 2u);
    EXPECT_EQ(event.GetParameterPointer(kEventParamPostTarget), nullptr); // stored as a target, not a pointer

    // Written as the readers of other code expect them.
    ControlRef controlOut = nullptr;
    EXPECT_EQ(event.GetParameter(kEventParamDirectObject, typeControlRef, sizeof controlOut, &controlOut), noErr);
    EXPECT_EQ(controlOut, control);
    HIToolbarItemRef itemOut = nullptr;
    EXPECT_EQ(event.GetParameter('item', typeHIToolbarItemRef, sizeof itemOut, &itemOut), noErr);
    EXPECT_EQ(itemOut, item);
    EventTargetRef targetOut = nullptr;
    EXPECT_EQ(event.GetParameter(kEventParamPostTarget, typeEventTargetRef, sizeof targetOut, &targetOut), noErr);
    EXPECT_EQ(targetOut, target);
    CGSize sizeOut {};
    EXPECT_EQ(event.GetParameter('size', typeHISize, sizeof sizeOut, &sizeOut), noErr);
    EXPECT_TRUE(SameBytes(sizeOut, CGSizeMake(1e9, -2.5)));
    Point qdOut {};
    EXPECT_EQ(event.GetParameter('qdpt', typeQDPoint, sizeof qdOut, &qdOut), noErr);
    EXPECT_EQ(qdOut.h, 6);
}

TEST(CCarbonEvent, ReadersOfParametersWrittenByOthers)
{
    CCarbonEvent event('test', 1);
    OSType const code = 'abcd';
    Rect const rect { 1, 2, 3, 4 };
    int objects[3] = {};
    auto array = reinterpret_cast<CFMutableArrayRef>(&objects[0]);
    auto string = reinterpret_cast<CFStringRef>(&objects[1]);
    auto drag = reinterpret_cast<DragRef>(&objects[2]);
    SInt32 const delta = -3;
    UInt32 const key = 36;
    event.SetParameter('ostp', typeOSStatus, sizeof code, &code);
    event.SetParameter('qdrt', typeQDRectangle, sizeof rect, &rect);
    event.SetParameter('arry', typeCFMutableArrayRef, sizeof array, &array);
    event.SetParameter('strg', typeCFStringRef, sizeof string, &string);
    event.SetParameter(kEventParamDragRef, typeDragRef, sizeof drag, &drag);
    event.SetParameter(kEventParamMouseWheelDelta, typeSInt32, sizeof delta, &delta);
    event.SetParameter(kEventParamKeyCode, typeUInt32, sizeof key, &key);
    event.SetParameterHISize(kEventParamImageSize, CGSizeMake(640, 480));
    event.SetParameterHISize(kEventParamViewSize, CGSizeMake(200, 100));
    event.SetParameterHIPoint(kEventParamOrigin, CGPointMake(30, 40));

    EXPECT_EQ(event.GetParameterOSType('ostp'), code);
    EXPECT_TRUE(SameBytes(event.GetParameterQDRect('qdrt'), rect));
    EXPECT_EQ(event.GetParameterCFMutableArray('arry'), array);
    EXPECT_EQ(event.GetParameterCFString('strg'), string);
    EXPECT_EQ(event.GetDragRef(), drag);
    EXPECT_EQ(event.GetMouseWheelDelta(), -3);
    EXPECT_EQ(event.GetKeyCode(), 36u);
    EXPECT_TRUE(SameBytes(event.GetScrollImageSize(), CGSizeMake(640, 480)));
    EXPECT_TRUE(SameBytes(event.GetScrollVisible(), CGRectMake(30, 40, 200, 100)));
}

TEST(CCarbonEvent, MissingOrMistypedParametersReadAsZero)
{
    CCarbonEvent event('test', 1);
    event.SetParameterUInt32(kEventParamMouseButton, 3); // right name, wrong type
    EXPECT_EQ(event.GetMouseButton(), 0);
    EXPECT_FALSE(event.GetParameterBool('none'));
    EXPECT_EQ(event.GetParameterWindow('none'), nullptr);
    EXPECT_TRUE(SameBytes(event.GetScrollVisible(), CGRect {}));
    HICommandExtended const command = event.GetHICommand();
    EXPECT_EQ(command.commandID, 0u);
    EXPECT_EQ(command.source.menu.menuRef, nullptr);

    UInt64 out = ~UInt64(0);
    EXPECT_EQ(event.GetParameter('none', typeUInt64, sizeof out, &out), eventParameterNotFoundErr);
    EXPECT_EQ(out, 0u);
    // An empty wrapper reads zero as well.
    CCarbonEvent empty;
    EXPECT_FALSE(empty.IsValid());
    EXPECT_EQ(empty.GetKeyCode(), 0u);
    EXPECT_NE(empty.SetParameterBool('bool', true), noErr);
}

TEST(CCarbonEvent, MouseLocationAsAQuickDrawPoint)
{
    CCarbonEvent event(kEventClassMouse, kEventMouseDown);
    event.SetMouseLocation(CGPointMake(100.9, -20.9));
    Point point { 9, 9 };
    HIPoint const location = event.GetMouseLocation(&point);
    EXPECT_EQ(location.x, 100.9);
    EXPECT_EQ(point.h, 100);
    EXPECT_EQ(point.v, -20);
    EXPECT_EQ(event.GetMouseLocation().y, -20.9);
    event.SetMouseLocation(CGPointMake(1e7, std::nan("")));
    event.GetMouseLocation(&point);
    EXPECT_EQ(point.h, 32767);
    EXPECT_EQ(point.v, 0);
}

TEST(CCarbonEvent, CopiesShareOneEventAndSelfAssignmentKeepsIt)
{
    CCarbonEvent first(kEventClassWindow, kEventWindowClose);
    EventRef const raw = first.GetEvent();
    EXPECT_EQ(GetEventRetainCount(raw), 1u);
    {
        CCarbonEvent second(first);
        CCarbonEvent third;
        third = second;
        EXPECT_EQ(third.GetEvent(), raw);
        EXPECT_EQ(GetEventRetainCount(raw), 3u);
        third.SetParameterUInt32('attr', 4);
        EXPECT_EQ(first.GetParameterUInt32('attr'), 4u);
    }
    CCarbonEvent& alias = first;
    first = alias;
    EXPECT_EQ(first.GetEvent(), raw);
    EXPECT_EQ(GetEventRetainCount(raw), 1u);
    EXPECT_TRUE(first.IsClass(kEventClassWindow));
    EXPECT_TRUE(first.IsKind(kEventWindowClose));
}

TEST(CCarbonEvent, CommandEventCarriesTheCommand)
{
    CCarbonEvent event = CCarbonEvent::CreateWithHICommandID(kHICommandQuit);
    EXPECT_TRUE(event.IsClass(kEventClassCommand));
    EXPECT_TRUE(event.IsKind(kEventCommandProcess));
    HICommandExtended const command = event.GetHICommand();
    EXPECT_EQ(command.commandID, kHICommandQuit);
    EXPECT_EQ(command.attributes, 0u);
    EXPECT_EQ(command.source.menu.menuItemIndex, 0);
}

OSStatus CountCall(EventHandlerCallRef, EventRef, void* count)
{
    ++*static_cast<int*>(count);
    return noErr;
}

TEST(CCarbonEvent, SentAndPostedEventsReachTheirTargets)
{
    tw::test::ManualClock clock;
    int windowObject = 0, windowCalls = 0, userCalls = 0;
    tw::events::Target window(tw::events::Target::Kind::Window, &windowObject);
    tw::events::Target user(tw::events::Target::Kind::User);
    EventTypeSpec const spec { 'test', 1 };
    InstallEventHandler(&window, CountCall, 1, &spec, &windowCalls, nullptr);
    InstallEventHandler(&user, CountCall, 1, &spec, &userCalls, nullptr);

    CCarbonEvent event('test', 1);
    EXPECT_EQ(event.SendToWindow(reinterpret_cast<WindowRef>(&windowObject)), noErr);
    EXPECT_EQ(windowCalls, 1);
    EXPECT_EQ(event.SendToControl(nullptr), paramErr);

    CCarbonEvent posted('test', 1);
    posted.SetEventTarget(&user);
    EXPECT_EQ(posted.PostToQueue(GetMainEventQueue(), kEventPriorityStandard), noErr);
    EXPECT_EQ(userCalls, 0);
    tw::test::ManualClock::RunFor(0.01);
    EXPECT_EQ(userCalls, 1);
}

} // namespace
