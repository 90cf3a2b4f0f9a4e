#include "toolbox/ObjectClass.h"

#include <deque>
#include <memory>

namespace tw::toolbox {

namespace {

    struct SystemClass {
        char const* id;
        ControlPartCode hitPart; // 0: transparent to clicks until a handler answers
    };

    // The system classes the program creates by id, from code or from the nib. Views
    // that only show something answer part 0; the controls answer a part of their own.
    constexpr SystemClass kSystemViews[] = {
        { "com.apple.hiview", 0 },
        { "com.apple.HIRootView", 0 },
        { "com.apple.HIContentView", 0 },
        { "com.apple.HIUserPane", 0 },
        { "com.apple.HIStaticTextView", 0 },
        { "com.apple.HIGroupBox", 0 },
        { "com.apple.HIWindowHeaderView", 0 },
        { "com.apple.HIChasingArrows", 0 },
        { "com.apple.HIProgressBar", 0 },
        { "com.apple.HIIconView", 0 },
        { "com.apple.HIGrowBoxView", 1 },
        { "com.apple.HIPushButton", 10 },
        { "com.apple.HIBevelButton", 10 },
        { "com.apple.HICheckBox", 10 },
        { "com.apple.HICheckBoxGroup", 10 },
        { "com.apple.HIRadioGroup", 10 },
        { "com.apple.HIRadioButton", 10 },
        { "com.apple.HIPopupButton", 10 },
        { "com.apple.HISlider", 10 },
        { "com.apple.HISegmentedView", 10 },
        { "com.apple.HIScrollView", 0 },
        { "com.apple.HISearchField", 10 },
        { "com.apple.HITextField", 10 },
        { "com.apple.hieditunicodetext", 10 },
        { "com.apple.HIDataBrowser", 10 },
    };

    struct Registry {
        std::deque<std::unique_ptr<ObjectClass>> classes; // owns
        Registry()
        {
            auto* view
                = classes
                      .emplace_back(std::make_unique<ObjectClass>("com.apple.hiview", nullptr, ObjectClass::Root::View))
                      .get();
            view->SetDefaultHitPart(0);
            for (SystemClass const& system : kSystemViews) {
                if (system.id == view->GetID())
                    continue;
                auto* cls
                    = classes.emplace_back(std::make_unique<ObjectClass>(system.id, view, ObjectClass::Root::View))
                          .get();
                cls->SetDefaultHitPart(system.hitPart);
            }
            classes.emplace_back(
                std::make_unique<ObjectClass>("com.apple.hiobject", nullptr, ObjectClass::Root::Object));
            classes.emplace_back(std::make_unique<ObjectClass>("com.apple.window", nullptr, ObjectClass::Root::Object));
            classes.emplace_back(std::make_unique<ObjectClass>("com.apple.menu", nullptr, ObjectClass::Root::Object));
            classes.emplace_back(
                std::make_unique<ObjectClass>("com.apple.hitoolboxtoolbaritem", nullptr, ObjectClass::Root::Object));
        }
    };

    Registry& TheRegistry()
    {
        static Registry registry;
        return registry;
    }

} // namespace

ObjectClass::ObjectClass(std::string id, ObjectClass* base, Root root)
    : mID(std::move(id))
    , mBase(base)
    , mRoot(base ? base->GetRoot() : root)
{
}

bool ObjectClass::IsA(std::string_view id) const
{
    for (ObjectClass const* cls = this; cls; cls = cls->mBase)
        if (cls->mID == id)
            return true;
    return false;
}

ControlPartCode ObjectClass::GetDefaultHitPart() const
{
    for (ObjectClass const* cls = this; cls; cls = cls->mBase)
        if (cls->mDefaultHitPart >= 0)
            return cls->mDefaultHitPart;
    return 0;
}

void ObjectClass::SetHandler(EventHandlerUPP proc, ItemCount count, EventTypeSpec const* events, void* userData)
{
    mProc = proc;
    mUserData = userData;
    mEvents.assign(events, events + (events ? count : 0));
}

std::vector<ObjectClass const*> ObjectClass::Chain() const
{
    std::vector<ObjectClass const*> chain;
    for (ObjectClass const* cls = this; cls; cls = cls->mBase)
        chain.insert(chain.begin(), cls);
    return chain;
}

ObjectClass* ObjectClass::Find(std::string_view id)
{
    for (auto& cls : TheRegistry().classes)
        if (cls->mID == id && cls->mRegistered)
            return cls.get();
    return nullptr;
}

ObjectClass* ObjectClass::Add(std::string id, ObjectClass* base)
{
    return TheRegistry().classes.emplace_back(std::make_unique<ObjectClass>(std::move(id), base, Root::Object)).get();
}

} // namespace tw::toolbox
