#include "display/PresenterChoice.h"

#include "display/SDLPresenter.h"
#include "display/WindowServer.h"

#include <cstdlib>

namespace tw::display {

namespace {

    bool IsSet(char const* value) { return value && *value; }

} // namespace

PresenterKind ChoosePresenterKind(char const* headless, char const* display, char const* wayland)
{
    if (IsSet(headless) && std::string(headless) != "0")
        return PresenterKind::Headless;
    if (!IsSet(display) && !IsSet(wayland))
        return PresenterKind::Headless;
    return PresenterKind::SDL;
}

PresenterKind ChoosePresenter(std::string* error)
{
    WindowServer& server = WindowServer::Get();
    PresenterKind const kind
        = ChoosePresenterKind(std::getenv("TW_HEADLESS"), std::getenv("DISPLAY"), std::getenv("WAYLAND_DISPLAY"));
    if (kind == PresenterKind::SDL) {
        if (auto presenter = SDLPresenter::Create(error)) {
            server.SetPresenter(std::move(presenter));
            return PresenterKind::SDL;
        }
    }
    server.SetPresenter(std::make_unique<HeadlessPresenter>());
    return PresenterKind::Headless;
}

} // namespace tw::display
