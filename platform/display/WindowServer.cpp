#include "display/WindowServer.h"

#include "corefoundation/CFBundle.h"
#include "display/InputFunnel.h"
#include "quartz/Context.h"
#include "toolbox/HelpTags.h"
#include "toolbox/Menu.h"
#include "toolbox/MenuBar.h"
#include "toolbox/Theme.h"
#include "toolbox/Window.h"
#include "toolbox/WindowList.h"

#include <algorithm>

namespace tw::display {

namespace {

    constexpr std::size_t kMaxDirtyRects = 16;

} // namespace

WindowServer& WindowServer::Get()
{
    static WindowServer* server = new WindowServer; // lives as long as the process
    return *server;
}

WindowServer::WindowServer()
{
    MakeScreen(toolbox::Screen::GetSize());
    mPresenter = std::make_unique<HeadlessPresenter>();
    toolbox::Screen::SetSink(this);
    InputFunnel::Install();
}

WindowServer::~WindowServer()
{
    toolbox::Screen::SetSink(nullptr);
    if (mScreen)
        cairo_surface_destroy(mScreen);
    if (mDragImage)
        cairo_surface_destroy(mDragImage);
}

void WindowServer::ResetForTesting()
{
    WindowServer& server = Get();
    server.SetDragImage(nullptr, {});
    server.mPresenter = std::make_unique<HeadlessPresenter>();
    toolbox::Screen::SetSink(&server);
    toolbox::Screen::SetSize({ 1280, 800 });
    server.MakeScreen(toolbox::Screen::GetSize());
    InputFunnel::Reset();
}

CGSize WindowServer::GetSize() const { return toolbox::Screen::GetSize(); }

void WindowServer::MakeScreen(CGSize size)
{
    if (mScreen)
        cairo_surface_destroy(mScreen);
    mScreen
        = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, static_cast<int>(size.width), static_cast<int>(size.height));
    mDirty.assign(1, { { 0, 0 }, size });
}

void WindowServer::Resize(CGSize size)
{
    CGSize const old = toolbox::Screen::GetSize();
    toolbox::Screen::SetSize(size);
    MakeScreen(toolbox::Screen::GetSize());
    // As when a display changes: no window is left partly off a smaller desktop.
    CGSize const now = toolbox::Screen::GetSize();
    if (now.width < old.width || now.height < old.height)
        toolbox::WindowList::KeepInsideDesktop();
}

// Adds a rectangle to the dirty set: contained ones are dropped, and past a
// handful the set becomes its bounding box, which is cheaper to compose.
void WindowServer::ScreenChanged(CGRect global)
{
    CGRect const rect = CGRectIntersection(CGRectIntegral(global), { { 0, 0 }, GetSize() });
    if (CGRectIsNull(rect) || CGRectIsEmpty(rect))
        return;
    for (CGRect const& known : mDirty)
        if (CGRectContainsRect(known, rect))
            return;
    std::erase_if(mDirty, [&](CGRect const& known) { return CGRectContainsRect(rect, known); });
    mDirty.push_back(rect);
    if (mDirty.size() > kMaxDirtyRects) {
        CGRect all = mDirty.front();
        for (CGRect const& known : mDirty)
            all = CGRectUnion(all, known);
        mDirty.assign(1, all);
    }
}

void WindowServer::Refresh() { Compose(); }

namespace {

    std::string ApplicationName()
    {
        CFBundleRef bundle = CFBundleGetMainBundle();
        CFTypeRef name = bundle ? CFBundleGetValueForInfoDictionaryKey(bundle, kCFBundleNameKey) : nullptr;
        return name && CFGetTypeID(name) == CFStringGetTypeID() ? cf::ToUTF8(static_cast<CFStringRef>(name))
                                                                : std::string();
    }

} // namespace

std::string WindowServer::ProgramTitle() const
{
    static std::string const application = ApplicationName();
    std::string document;
    for (toolbox::Window* window : toolbox::WindowList::FrontToBack()) {
        if (!window->IsVisible() || window->GetWindowClass() != kDocumentWindowClass
            || !window->HasAttribute(kWindowInWindowMenuAttribute))
            continue;
        document = window->GetShownTitle();
        break;
    }
    if (document.empty())
        return application;
    return application.empty() ? document : document + " \u2014 " + application;
}

bool WindowServer::Compose()
{
    // 0. The program's window is titled after the front document.
    if (mPresenter) {
        std::string const title = ProgramTitle();
        if (title != mPresenter->GetTitle())
            mPresenter->SetTitle(title);
    }
    // 1. Windows redraw their invalid views into their backing stores (reporting what changed).
    for (toolbox::Window* window : std::vector<toolbox::Window*>(toolbox::WindowList::FrontToBack()))
        if (window->IsVisible() && toolbox::HIObject::Live(window))
            window->Update();
    if (mDirty.empty())
        return false;
    // 2. The dirty rectangles are painted back to front.
    std::vector<CGRect> dirty;
    dirty.swap(mDirty);
    cairo_t* cr = cairo_create(mScreen);
    for (CGRect const& area : dirty)
        Paint(cr, area);
    cairo_destroy(cr);
    cairo_surface_flush(mScreen);
    // 3. The presenter shows the result.
    if (mPresenter)
        mPresenter->Present(mScreen, dirty);
    return true;
}

void WindowServer::Paint(cairo_t* cr, CGRect area)
{
    cairo_save(cr);
    cairo_rectangle(cr, area.origin.x, area.origin.y, area.size.width, area.size.height);
    cairo_clip(cr);
    CGSize const size = GetSize();
    CGContextRef context = quartz::CreateContextForSurface(mScreen, size.width, size.height, true);
    CGContextClipToRect(context, area);
    toolbox::Theme::DrawDesktop(context, area);
    auto const& windows = toolbox::WindowList::FrontToBack();
    for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
        toolbox::Window* window = *it;
        if (!window->IsVisible() || !window->GetBackingStore())
            continue;
        CGRect shown = window->GetStructure();
        if (window->IsCollapsed())
            shown.size.height = window->GetTitleBarHeight();
        if (!CGRectIntersectsRect(shown, area))
            continue;
        cairo_save(cr);
        cairo_rectangle(cr, shown.origin.x, shown.origin.y, shown.size.width, shown.size.height);
        cairo_clip(cr);
        cairo_set_source_surface(cr, window->GetBackingStore(), shown.origin.x, shown.origin.y);
        cairo_paint_with_alpha(cr, window->GetAlpha());
        cairo_restore(cr);
    }
    cairo_surface_mark_dirty(mScreen);
    toolbox::Theme::DrawMenuBar(context, size.width, toolbox::MenuBar::HighlightedTitle());
    for (toolbox::OpenMenu const& open : toolbox::MenuBar::Open())
        toolbox::Theme::DrawMenu(context, open.menu, open.frame, open.highlighted, open.editOnly, open.scroll);
    if (CFStringRef tag = toolbox::HelpTags::ShowingText())
        toolbox::Theme::DrawHelpTag(context, tag, toolbox::HelpTags::ShowingFrame());
    CGContextRelease(context);
    if (mDragImage) {
        cairo_set_source_surface(cr, mDragImage, mDragAt.x, mDragAt.y);
        cairo_paint_with_alpha(cr, 0.7);
    }
    cairo_restore(cr);
}

OSStatus WindowServer::WritePNG(std::string const& path)
{
    Compose();
    return cairo_surface_write_to_png(mScreen, path.c_str()) == CAIRO_STATUS_SUCCESS ? noErr : ioErr;
}

void WindowServer::SetPresenter(std::unique_ptr<Presenter> presenter)
{
    mPresenter = std::move(presenter);
    ScreenChanged({ { 0, 0 }, GetSize() });
}

void WindowServer::SetDragImage(cairo_surface_t* image, CGPoint topLeft)
{
    auto extent = [](cairo_surface_t* s, CGPoint at) {
        return CGRect { at,
            { static_cast<CGFloat>(cairo_image_surface_get_width(s)),
                static_cast<CGFloat>(cairo_image_surface_get_height(s)) } };
    };
    if (mDragImage) {
        ScreenChanged(extent(mDragImage, mDragAt));
        cairo_surface_destroy(mDragImage);
    }
    mDragImage = image ? cairo_surface_reference(image) : nullptr;
    mDragAt = topLeft;
    if (mDragImage)
        ScreenChanged(extent(mDragImage, mDragAt));
}

void WindowServer::Post(InputEvent const& input) { InputFunnel::Post(input); }

void WindowServer::Request(WindowRequest const& request)
{
    if (request.kind == WindowRequestKind::ResizeScreen)
        Resize(request.size);
    else
        ScreenChanged({ { 0, 0 }, GetSize() });
}

} // namespace tw::display
