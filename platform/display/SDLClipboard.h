#pragma once

#include "services/ScrapBackend.h"

namespace tw::display {

// The desktop clipboard and the X primary selection through SDL, for the scrap (text only). SDL's video
// subsystem must be running while it is installed.
class SDLClipboard : public services::ScrapBackend {
public:
    bool ReadText(std::string* text) override;
    void WriteText(std::string const& text) override;
    bool ReadPrimary(std::string* text) override;
    void WritePrimary(std::string const& text) override;
};

} // namespace tw::display
