#pragma once

#include "display/Presenter.h"
#include "display/SDLClipboard.h"
#include "display/SDLCursors.h"
#include "display/SDLEventTranslator.h"
#include "display/X11Keymap.h"
#include "events/CarbonEvents.h"
#include "events/Waiter.h"

#include <SDL.h>
#include <memory>
#include <string>

namespace tw::display {

// Shows the screen in one resizable SDL window, like a desktop inside a window,
// and feeds the window's input into the window server. It is the main queue's
// waiter: before every loop (nested ones too) sleeps, SDL's events are taken and
// what changed is presented, and the sleep is SDL's wait for the X connection,
// to the next timer; a post from another thread ends it with an SDL event. While
// it lives it is the scrap's desktop clipboard and shows the cursor. One at a time.
class SDLPresenter : public Presenter, public events::Waiter {
public:

    // Opens the window at the server's screen size (smaller when the display is);
    // null, with SDL's reason, when there is no window to be had.
    static std::unique_ptr<SDLPresenter> Create(std::string* error);
    ~SDLPresenter() override;
    SDLPresenter(SDLPresenter const&) = delete;
    SDLPresenter& operator=(SDLPresenter const&) = delete;

    void Present(cairo_surface_t* screen, std::vector<CGRect> const& changed) override;
    void SetTitle(std::string const& title) override;
    // Hands every waiting SDL event to the window server, then brings the window up to date.
    void Pump() override;
    void Sleep(std::optional<std::chrono::steady_clock::time_point> deadline) override;
    void Wake() override;
    SDL_Window* GetWindow() const { return mWindow; }
    int GetPumpCount() const { return mPumps; } // tests look at it
    // Copies these rectangles of the screen into a surface: straight through Cairo
    // when its pixels are Cairo's RGB24, converted by SDL otherwise.
    static void Copy(cairo_surface_t* screen, SDL_Surface* target, std::vector<SDL_Rect> const& rects);

private:
    explicit SDLPresenter(SDL_Window* window);
    // The window's icon: the bundle's icon file, as a dock shows it.
    void SetIconFromBundle();
    void Dispatch(SDLTranslation& translation);
    static void CopyDirect(cairo_surface_t* screen, SDL_Surface* target, std::vector<SDL_Rect> const& rects);
    static void CopyConverted(cairo_surface_t* screen, SDL_Surface* target, std::vector<SDL_Rect> const& rects);

    SDL_Window* mWindow = nullptr; // owns
    Uint32 mWakeEvent = 0; // an SDL user event type of our own: "look at the queue"
    SDLEventTranslator mTranslator;
    SDLCursors mCursors;
    SDLClipboard mClipboard;
    std::unique_ptr<X11Keymap> mKeymap; // null off X
    bool mShown = false; // after the first frame
    int mPumps = 0;
};

} // namespace tw::display
