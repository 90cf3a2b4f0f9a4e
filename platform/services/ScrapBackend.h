#pragma once

#include "corefoundation/MacTypes.h"

#include <map>
#include <string>
#include <vector>

namespace tw::services {

// The desktop clipboard behind the scrap, text only. The scrap reads it when
// the program asks for the current scrap and writes its text flavour to it
// after every change. Without one (headless) the scrap stays in memory.
class ScrapBackend {
public:
    virtual ~ScrapBackend() = default;
    // False when the clipboard holds no text.
    virtual bool ReadText(std::string* text) = 0;
    virtual void WriteText(std::string const& text) = 0;
    // The X primary selection: what was selected last, pasted by a middle click. A
    // desktop without one has none.
    virtual bool ReadPrimary(std::string*) { return false; }
    virtual void WritePrimary(std::string const&) { }
};

// weak: the installer removes it (null) before it goes.
void SetScrapBackend(ScrapBackend* backend);
ScrapBackend* GetScrapBackend();

// The primary selection, apart from the scrap: selected text is offered there and
// a middle click pastes it. Without a backend it is kept in memory.
void SetPrimarySelection(std::string const& text);
bool CopyPrimarySelection(std::string* text); // false when there is none
void ResetPrimarySelectionForTesting();

// The scrap's side. Reading replaces the flavours with the desktop's text when
// that changed since the two last agreed; writing hands the text flavour over.
using ScrapFlavours = std::map<FourCharCode, std::vector<UInt8>>;
void PullScrapFromBackend(ScrapFlavours& flavours);
void PushScrapToBackend(ScrapFlavours const& flavours);

} // namespace tw::services
