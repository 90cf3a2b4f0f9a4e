#pragma once

#include <string>

namespace tw::display {

enum class PresenterKind { Headless, SDL };

// Headless when the environment asks for it (TW_HEADLESS set, and not "0") or
// when there is no display (neither DISPLAY nor WAYLAND_DISPLAY); else SDL.
PresenterKind ChoosePresenterKind(char const* headless, char const* display, char const* wayland);

// The one place the presenter is chosen, from this process's environment; the
// choice is installed in the window server. When SDL cannot open its window,
// the server stays headless, the answer says so and *error says why.
PresenterKind ChoosePresenter(std::string* error = nullptr);

} // namespace tw::display
