#pragma once

#include "services/ScrapBackend.h"

namespace tw::display {

// The desktop clipboard through SDL, for the scrap (text only). SDL's video
// subsystem must be running while it is installed.
class SDLClipboard : public services::ScrapBackend {
public:
    bool ReadText(std::string* text) override;
    void WriteText(std::string const& text) override;
};

} // namespace tw::display
