#include "display/SDLPresenter.h"

#include "display/WindowServer.h"

#include <algorithm>

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
    SDL_Window* window = SDL_CreateWindow(
        "Tarnwick", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width, height, SDL_WINDOW_RESIZABLE);
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
    services::SetScrapBackend(&mClipboard);
    CursorState::SetListener([this](CursorShape const& shape) { mCursors.Show(shape); });
    mCursors.Show(CursorState::Current());
    InstallEventLoopTimer(GetMainEventLoop(), 0, kPollInterval, PollTimer, this, &mTimer);
}

SDLPresenter::~SDLPresenter()
{
    if (mTimer)
        RemoveEventLoopTimer(mTimer);
    CursorState::SetListener(nullptr);
    if (services::GetScrapBackend() == &mClipboard)
        services::SetScrapBackend(nullptr);
    SDL_DestroyWindow(mWindow);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

void SDLPresenter::PollTimer(EventLoopTimerRef, void* userData) { static_cast<SDLPresenter*>(userData)->Pump(); }

void SDLPresenter::Pump()
{
    SDL_Event event;
    SDLTranslation translation;
    while (SDL_PollEvent(&event)) {
        int x = 0, y = 0;
        SDL_GetMouseState(&x, &y);
        mTranslator.Translate(event, static_cast<Uint16>(SDL_GetModState()), { CGFloat(x), CGFloat(y) }, translation);
        if (event.type == SDL_DROPFILE || event.type == SDL_DROPTEXT)
            SDL_free(event.drop.file);
        Dispatch(translation);
    }
    WindowServer::Get().Compose();
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
