#include "ToolboxTest.h"
#include "toolbox/HIObjectCalls.h"
#include "toolbox/HIViewCalls.h"
#include "toolbox/ToolboxErrors.h"
#include "toolbox/View.h"

namespace tw::test {
namespace {

    // A registered class whose handler keeps a log and per-instance data.
    struct Instance {
        EventLog* log;
        HIObjectRef object;
        int initialised = 0;
    };

    EventLog* sLog = nullptr;
    bool sFailConstruct = false;

    OSStatus ClassHandler(EventHandlerCallRef callRef, EventRef event, void* userData)
    {
        EventKind const kind = GetEventKind(event);
        if (GetEventClass(event) == kEventClassHIObject && kind == kEventHIObjectConstruct) {
            sLog->Add("construct:" + std::string(static_cast<char const*>(userData)));
            if (sFailConstruct)
                return memFullErr;
            HIObjectRef object = nullptr;
            GetEventParameter(
                event, kEventParamHIObjectInstance, typeHIObjectRef, nullptr, sizeof object, nullptr, &object);
            auto* instance = new Instance { sLog, object };
            SetEventParameter(event, kEventParamHIObjectInstance, typeVoidPtr, sizeof instance, &instance);
            return noErr;
        }
        auto* instance = static_cast<Instance*>(userData);
        if (kind == kEventHIObjectInitialize) {
            OSStatus const status = CallNextEventHandler(callRef, event);
            instance->initialised++;
            instance->log->Add("initialise");
            return status;
        }
        if (kind == kEventHIObjectDestruct) {
            instance->log->Add("destruct");
            delete instance;
            return noErr;
        }
        return eventNotHandledErr;
    }

    EventTypeSpec const kClassEvents[] = {
        { kEventClassHIObject, kEventHIObjectConstruct },
        { kEventClassHIObject, kEventHIObjectInitialize },
        { kEventClassHIObject, kEventHIObjectDestruct },
    };

    class HIObjectRegistry : public ToolboxTest {
    protected:
        void SetUp() override
        {
            ToolboxTest::SetUp();
            sLog = &mLog;
            sFailConstruct = false;
        }
        void TearDown() override
        {
            sLog = nullptr;
            ToolboxTest::TearDown();
        }
        EventLog mLog;
    };

    TEST_F(HIObjectRegistry, SubclassRunsConstructInitialiseAndDestructWithItsInstanceData)
    {
        static char kTag[] = "view";
        ASSERT_EQ(HIObjectRegisterSubclass(CFSTR("test.registry.view"), CFSTR("com.apple.hiview"), 0, ClassHandler, 3,
                      kClassEvents, kTag, nullptr),
            noErr);
        EventRef init = nullptr;
        CreateEvent(nullptr, kEventClassHIObject, kEventHIObjectInitialize, 0, 0, &init);
        HIRect const frame = CGRectMake(5, 6, 70, 80);
        SetEventParameter(init, kEventParamInitialBounds, typeHIRect, sizeof frame, &frame);
        HIObjectRef object = nullptr;
        ASSERT_EQ(HIObjectCreate(CFSTR("test.registry.view"), init, &object), noErr);
        ReleaseEvent(init);

        // The base class read the frame from the initialise event the subclass passed on.
        HIRect got {};
        ASSERT_EQ(HIViewGetFrame(static_cast<HIViewRef>(object), &got), noErr);
        EXPECT_TRUE(CGRectEqualToRect(got, frame));
        CFStringRef id = HIObjectCopyClassID(object);
        EXPECT_EQ(cf::ToUTF8(id), "test.registry.view");
        CFRelease(id);
        EXPECT_TRUE(HIObjectIsOfClass(object, CFSTR("com.apple.hiview")));
        EXPECT_FALSE(HIObjectIsOfClass(object, CFSTR("com.apple.HIPushButton")));

        CFRelease(object);
        EXPECT_EQ(mLog.entries, (std::vector<std::string> { "construct:view", "initialise", "destruct" }));
    }

    TEST_F(HIObjectRegistry, FailedConstructFailsTheCreationAndLeavesNothingBehind)
    {
        static char kTag[] = "failing";
        ASSERT_EQ(HIObjectRegisterSubclass(CFSTR("test.registry.failing"), CFSTR("com.apple.hiview"), 0, ClassHandler,
                      3, kClassEvents, kTag, nullptr),
            noErr);
        sFailConstruct = true;
        HIObjectRef object = reinterpret_cast<HIObjectRef>(1);
        EXPECT_EQ(HIObjectCreate(CFSTR("test.registry.failing"), nullptr, &object), memFullErr);
        EXPECT_EQ(object, nullptr);
    }

    TEST_F(HIObjectRegistry, RefusesDuplicatesUnknownBasesAndUnknownClasses)
    {
        static char kTag[] = "dup";
        EXPECT_EQ(HIObjectRegisterSubclass(
                      CFSTR("test.registry.dup"), nullptr, 0, ClassHandler, 3, kClassEvents, kTag, nullptr),
            noErr);
        EXPECT_EQ(HIObjectRegisterSubclass(
                      CFSTR("test.registry.dup"), nullptr, 0, ClassHandler, 3, kClassEvents, kTag, nullptr),
            hiObjectClassExistsErr);
        EXPECT_EQ(HIObjectRegisterSubclass(CFSTR("test.registry.orphan"), CFSTR("no.such.base"), 0, ClassHandler, 3,
                      kClassEvents, kTag, nullptr),
            paramErr);
        HIObjectRef object = nullptr;
        EXPECT_NE(HIObjectCreate(CFSTR("no.such.class"), nullptr, &object), noErr);
        // Class ids are exact here: case-insensitive matching is the wrapper registry's business.
        EXPECT_NE(HIObjectCreate(CFSTR("COM.APPLE.HIVIEW"), nullptr, &object), noErr);
    }

    TEST_F(HIObjectRegistry, SubclassOfSubclassConstructsBaseLevelsFirstAndDestructsEveryLevel)
    {
        static char kBase[] = "base";
        static char kDerived[] = "derived";
        ASSERT_EQ(HIObjectRegisterSubclass(CFSTR("test.registry.base"), CFSTR("com.apple.HIBevelButton"), 0,
                      ClassHandler, 3, kClassEvents, kBase, nullptr),
            noErr);
        ASSERT_EQ(HIObjectRegisterSubclass(CFSTR("test.registry.derived"), CFSTR("test.registry.base"), 0, ClassHandler,
                      3, kClassEvents, kDerived, nullptr),
            noErr);
        HIObjectRef object = nullptr;
        ASSERT_EQ(HIObjectCreate(CFSTR("test.registry.derived"), nullptr, &object), noErr);
        CFRelease(object);
        EXPECT_EQ(mLog.entries,
            (std::vector<std::string> {
                "construct:base", "construct:derived", "initialise", "initialise", "destruct", "destruct" }));
    }

} // namespace
} // namespace tw::test
