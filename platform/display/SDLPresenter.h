#pragma once

#include "display/Presenter.h"
#include "display/SDLClipboard.h"
#include "display/SDLCursors.h"
#include "display/SDLEventTranslator.h"
#include "display/X11Keymap.h"
#include "events/CarbonEvents.h"

#include <SDL.h>
#include <memory>
#include <string>

namespace tw::display {

// Shows the screen in one resizable SDL window, like a desktop inside a window,
// and feeds the window's input into the window server. A timer of the event
// loop takes SDL's events and presents what changed; timers fire in every
// loop, so menu, mouse and modal tracking keep receiving input. While it lives
// it is the scrap's desktop clipboard and shows the cursor. One at a time.
class SDLPresenter : public Presenter {
public:
    static constexpr EventTimerInterval kPollInterval = 1.0 / 120; // [s]

    // Opens the window at the server's screen size (smaller when the display is);
    // null, with SDL's reason, when there is no window to be had.
    static std::unique_ptr<SDLPresenter> Create(std::string* error);
    ~SDLPresenter() override;
    SDLPresenter(SDLPresenter const&) = delete;
    SDLPresenter& operator=(SDLPresenter const&) = delete;

    void Present(cairo_surface_t* screen, std::vector<CGRect> const& changed) override;
    void SetTitle(std::string const& title) override;
    // Hands every waiting SDL event to the window server, then brings the window up to date.
    void Pump();
    SDL_Window* GetWindow() const { return mWindow; }
    // Copies these rectangles of the screen into a surface: straight through Cairo
    // when its pixels are Cairo's RGB24, converted by SDL otherwise.
    static void Copy(cairo_surface_t* screen, SDL_Surface* target, std::vector<SDL_Rect> const& rects);

private:
    explicit SDLPresenter(SDL_Window* window);
    // The window's icon: the bundle's icon file, as a dock shows it.
    void SetIconFromBundle();
    static void PollTimer(EventLoopTimerRef timer, void* userData);
    void Dispatch(SDLTranslation& translation);
    static void CopyDirect(cairo_surface_t* screen, SDL_Surface* target, std::vector<SDL_Rect> const& rects);
    static void CopyConverted(cairo_surface_t* screen, SDL_Surface* target, std::vector<SDL_Rect> const& rects);

    SDL_Window* mWindow = nullptr; // owns
    EventLoopTimerRef mTimer = nullptr; // owns
    SDLEventTranslator mTranslator;
    SDLCursors mCursors;
    SDLClipboard mClipboard;
    std::unique_ptr<X11Keymap> mKeymap; // null off X
    bool mShown = false; // after the first frame
};

} // namespace tw::display
