#include "display/SDLPresenter.h"

#include "corefoundation/CFBundle.h"
#include "corefoundation/CFURL.h"
#include "display/SDLKeys.h"
#include "display/SessionEnd.h"
#include "display/WindowServer.h"
#include "events/Queue.h"

#include <algorithm>
#include <chrono>
#include <climits>

namespace tw::display {

namespace {

    constexpr int kMinimumSize = 320; // [px] the window is never made smaller

    std::vector<SDL_Rect> ToSDLRects(std::vector<CGRect> const& changed, int width, int height)
    {
        std::vector<SDL_Rect> rects;
        for (CGRect const& rect : changed) {
            CGRect const clipped
                = CGRectIntersection(CGRectIntegral(rect), { { 0, 0 }, { CGFloat(width), CGFloat(height) } });
            if (CGRectIsNull(clipped) || CGRectIsEmpty(clipped))
                continue;
            rects.push_back({ static_cast<int>(clipped.origin.x), static_cast<int>(clipped.origin.y),
                static_cast<int>(clipped.size.width), static_cast<int>(clipped.size.height) });
        }
        return rects;
    }

} // namespace

std::unique_ptr<SDLPresenter> SDLPresenter::Create(std::string* error)
{
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        if (error)
            *error = SDL_GetError();
        return nullptr;
    }
    // SDL falls back on drivers that show nothing when the display cannot be reached.
    std::string const driver = SDL_GetCurrentVideoDriver() ? SDL_GetCurrentVideoDriver() : "";
    if (driver == "offscreen" || driver == "dummy") {
        if (error)
            *error = "the display cannot be reached";
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return nullptr;
    }
    // A click that activates the window is a click too, as on the Mac's desktop.
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
    // The screen reaches the window as finished pixels: the window system's own framebuffer takes
    // them as they are. SDL's default puts an OpenGL renderer in between, which here is a software
    // renderer: about 100 MB and a pool of threads more, and the window is made a second time when
    // the first frame is shown. The environment (SDL_FRAMEBUFFER_ACCELERATION) may still ask for it.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    CGSize const screen = WindowServer::Get().GetSize();
    int width = static_cast<int>(screen.width), height = static_cast<int>(screen.height);
    SDL_Rect usable;
    if (SDL_GetDisplayUsableBounds(0, &usable) == 0 && usable.w >= kMinimumSize && usable.h >= kMinimumSize) {
        width = std::min(width, usable.w);
        height = std::min(height, usable.h);
    }
    // Hidden until the first frame is ready, so that the desktop never shows an empty window.
    SDL_Window* window = SDL_CreateWindow(
        "", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width, height, SDL_WINDOW_RESIZABLE | SDL_WINDOW_HIDDEN);
    if (!window) {
        if (error)
            *error = SDL_GetError();
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return nullptr;
    }
    SDL_SetWindowMinimumSize(window, kMinimumSize, kMinimumSize);
    return std::unique_ptr<SDLPresenter>(new SDLPresenter(window));
}

SDLPresenter::SDLPresenter(SDL_Window* window)
    : mWindow(window)
{
    int width = 0, height = 0;
    SDL_GetWindowSize(mWindow, &width, &height);
    WindowServer& server = WindowServer::Get();
    if (width != static_cast<int>(server.GetSize().width) || height != static_cast<int>(server.GetSize().height))
        server.Request({ WindowRequestKind::ResizeScreen, { CGFloat(width), CGFloat(height) } });
    // Shifted punctuation follows the display's layout.
    mKeymap = X11Keymap::ForWindow(mWindow);
    if (mKeymap)
        SDLKeys::SetShiftedLookup([keymap = mKeymap.get()](UInt32 unshifted) { return keymap->Shifted(unshifted); });
    services::SetScrapBackend(&mClipboard);
    CursorState::SetListener([this](CursorShape const& shape) { mCursors.Show(shape); });
    mCursors.Show(CursorState::Current());
    SetIconFromBundle();
    WatchForSessionEnd();
    mWakeEvent = SDL_RegisterEvents(1);
    GetMainEventQueue()->SetWaiter(this);
}

void SDLPresenter::SetTitle(std::string const& title)
{
    Presenter::SetTitle(title);
    // On X, ours: SDL's own call garbles (and leaks) what lies outside ASCII in the C locale.
    if (!SetX11WindowTitle(mWindow, title))
        SDL_SetWindowTitle(mWindow, title.c_str());
}

void SDLPresenter::SetIconFromBundle()
{
    CFBundleRef bundle = CFBundleGetMainBundle();
    CFTypeRef name = bundle ? CFBundleGetValueForInfoDictionaryKey(bundle, CFSTR("CFBundleIconFile")) : nullptr;
    if (!name || CFGetTypeID(name) != CFStringGetTypeID())
        return;
    CFURLRef url = CFBundleCopyResourceURL(bundle, static_cast<CFStringRef>(name), nullptr, nullptr);
    if (!url)
        return;
    std::string path;
    CFStringRef text = CFURLCopyFileSystemPath(url, kCFURLPOSIXPathStyle);
    path = cf::ToUTF8(text);
    if (text)
        CFRelease(text);
    CFRelease(url);
    cairo_surface_t* png = cairo_image_surface_create_from_png(path.c_str());
    if (cairo_surface_status(png) == CAIRO_STATUS_SUCCESS) {
        int const width = cairo_image_surface_get_width(png), height = cairo_image_surface_get_height(png);
        SDL_Surface* icon = SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_ARGB8888);
        if (icon) {
            // Cairo's pixels are premultiplied; SDL wants them straight.
            cairo_surface_flush(png);
            for (int y = 0; y < height; ++y) {
                auto const* from = reinterpret_cast<Uint32 const*>(
                    cairo_image_surface_get_data(png) + y * cairo_image_surface_get_stride(png));
                auto* to = reinterpret_cast<Uint32*>(static_cast<Uint8*>(icon->pixels) + y * icon->pitch);
                for (int x = 0; x < width; ++x) {
                    Uint32 const p = from[x];
                    Uint32 const a = p >> 24;
                    auto channel
                        = [&](int shift) { return a ? std::min<Uint32>(255, ((p >> shift) & 0xFF) * 255 / a) : 0; };
                    to[x] = (a << 24) | (channel(16) << 16) | (channel(8) << 8) | channel(0);
                }
            }
            SDL_SetWindowIcon(mWindow, icon);
            SDL_FreeSurface(icon);
        }
    }
    cairo_surface_destroy(png);
}

SDLPresenter::~SDLPresenter()
{
    if (GetMainEventQueue()->GetWaiter() == this)
        GetMainEventQueue()->SetWaiter(nullptr);
    CursorState::SetListener(nullptr);
    if (mKeymap)
        SDLKeys::SetShiftedLookup(nullptr);
    if (services::GetScrapBackend() == &mClipboard)
        services::SetScrapBackend(nullptr);
    SDL_DestroyWindow(mWindow);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

void SDLPresenter::Pump()
{
    ++mPumps;
    // A hang-up leaves no one to answer a question: the application keeps what it can, and stops.
    if (EndSessionIfHungUp()) {
        QuitApplicationEventLoop();
        return;
    }
    SDL_Event event;
    SDLTranslation translation;
    // Peeked, not polled: a poll stops at the end-of-poll marker SDL's wait may have left
    // before events that came after it, which would then wait for the next wake.
    SDL_PumpEvents();
    while (SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) > 0) {
        if (event.type == mWakeEvent)
            continue; // its work is in the queue already
        int x = 0, y = 0;
        SDL_GetMouseState(&x, &y);
        if (event.type == SDL_KEYMAPCHANGED && mKeymap)
            mKeymap->Reload();
        mTranslator.Translate(event, static_cast<Uint16>(SDL_GetModState()), { CGFloat(x), CGFloat(y) }, translation);
        if (event.type == SDL_DROPFILE || event.type == SDL_DROPTEXT)
            SDL_free(event.drop.file);
        Dispatch(translation);
    }
    WindowServer::Get().Compose();
}

void SDLPresenter::Sleep(std::optional<std::chrono::steady_clock::time_point> deadline)
{
    int milliseconds = -1; // for ever
    if (deadline) {
        auto const left = std::chrono::ceil<std::chrono::milliseconds>(*deadline - std::chrono::steady_clock::now());
        milliseconds = static_cast<int>(std::clamp<std::chrono::milliseconds::rep>(left.count(), 0, INT_MAX));
    }
    // With only video running, SDL sleeps in a wait on the X connection's descriptor and
    // wakes for an event pushed from any thread; the event stays queued for the next Pump.
    SDL_WaitEventTimeout(nullptr, milliseconds);
}

void SDLPresenter::Wake()
{
    SDL_Event event {};
    event.type = mWakeEvent;
    SDL_PushEvent(&event);
}

void SDLPresenter::Dispatch(SDLTranslation& translation)
{
    WindowServer& server = WindowServer::Get();
    for (auto const& item : translation) {
        if (auto const* input = std::get_if<InputEvent>(&item))
            server.Post(*input);
        else
            server.Request(std::get<WindowRequest>(item));
    }
    translation.clear();
}

void SDLPresenter::Present(cairo_surface_t* screen, std::vector<CGRect> const& changed)
{
    if (!mShown) {
        mShown = true;
        SDL_ShowWindow(mWindow);
        // The window's surface is made again for the shown window: all of it is drawn.
        int const w = cairo_image_surface_get_width(screen), h = cairo_image_surface_get_height(screen);
        std::vector<CGRect> const all { { { 0, 0 }, { CGFloat(w), CGFloat(h) } } };
        Present(screen, all);
        return;
    }
    SDL_Surface* target = SDL_GetWindowSurface(mWindow);
    if (!target || !screen)
        return;
    int const width = std::min(target->w, cairo_image_surface_get_width(screen));
    int const height = std::min(target->h, cairo_image_surface_get_height(screen));
    std::vector<SDL_Rect> const rects = ToSDLRects(changed, width, height);
    if (rects.empty())
        return;
    Copy(screen, target, rects);
    SDL_UpdateWindowSurfaceRects(mWindow, rects.data(), static_cast<int>(rects.size()));
}

void SDLPresenter::Copy(cairo_surface_t* screen, SDL_Surface* target, std::vector<SDL_Rect> const& rects)
{
    cairo_surface_flush(screen);
    if (target->format->format == SDL_PIXELFORMAT_RGB888)
        CopyDirect(screen, target, rects);
    else
        CopyConverted(screen, target, rects);
}

// The window's pixels are Cairo's RGB24: Cairo paints the screen straight into them.
void SDLPresenter::CopyDirect(cairo_surface_t* screen, SDL_Surface* target, std::vector<SDL_Rect> const& rects)
{
    if (SDL_MUSTLOCK(target) && SDL_LockSurface(target) != 0)
        return;
    cairo_surface_t* window = cairo_image_surface_create_for_data(
        static_cast<unsigned char*>(target->pixels), CAIRO_FORMAT_RGB24, target->w, target->h, target->pitch);
    cairo_t* cr = cairo_create(window);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_surface(cr, screen, 0, 0);
    for (SDL_Rect const& rect : rects)
        cairo_rectangle(cr, rect.x, rect.y, rect.w, rect.h);
    cairo_fill(cr);
    cairo_destroy(cr);
    cairo_surface_finish(window);
    cairo_surface_destroy(window);
    if (SDL_MUSTLOCK(target))
        SDL_UnlockSurface(target);
}

// Any other window format: SDL converts while copying.
void SDLPresenter::CopyConverted(cairo_surface_t* screen, SDL_Surface* target, std::vector<SDL_Rect> const& rects)
{
    SDL_Surface* source = SDL_CreateRGBSurfaceWithFormatFrom(cairo_image_surface_get_data(screen),
        cairo_image_surface_get_width(screen), cairo_image_surface_get_height(screen), 32,
        cairo_image_surface_get_stride(screen), SDL_PIXELFORMAT_ARGB8888);
    if (!source)
        return;
    SDL_SetSurfaceBlendMode(source, SDL_BLENDMODE_NONE);
    for (SDL_Rect rect : rects) {
        SDL_Rect to = rect;
        SDL_BlitSurface(source, &rect, target, &to);
    }
    SDL_FreeSurface(source);
}

} // namespace tw::display
