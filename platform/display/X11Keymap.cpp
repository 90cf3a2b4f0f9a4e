#include "display/X11Keymap.h"

#include <SDL_syswm.h>
#include <X11/XKBlib.h>

namespace tw::display {

namespace {

    // The character of a keysym: Latin-1 keysyms are their code, Unicode ones carry it.
    UInt32 CharacterOf(KeySym sym)
    {
        if ((sym >= 0x20 && sym <= 0x7E) || (sym >= 0xA0 && sym <= 0xFF))
            return static_cast<UInt32>(sym);
        if ((sym & 0xFF000000) == 0x01000000)
            return static_cast<UInt32>(sym & 0x00FFFFFF);
        return 0;
    }

} // namespace

std::unique_ptr<X11Keymap> X11Keymap::ForWindow(SDL_Window* window)
{
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!window || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11 || !info.info.x11.display)
        return nullptr;
    int opcode = 0, event = 0, error = 0, major = XkbMajorVersion, minor = XkbMinorVersion;
    if (!XkbQueryExtension(info.info.x11.display, &opcode, &event, &error, &major, &minor))
        return nullptr;
    std::unique_ptr<X11Keymap> keymap(new X11Keymap(info.info.x11.display));
    keymap->Reload();
    return keymap;
}

X11Keymap::X11Keymap(void* display)
    : mDisplay(display)
{
}

// Asks the server for the keyboard's map (not the connection's cache, which lags
// behind a change) and notes each key's first two levels in the active group.
void X11Keymap::Reload()
{
    auto* display = static_cast<Display*>(mDisplay);
    mShifted.clear();
    XkbStateRec state {};
    unsigned const group = XkbGetState(display, XkbUseCoreKbd, &state) == Success ? state.group : 0;
    XkbDescPtr desc = XkbGetMap(display, XkbKeyTypesMask | XkbKeySymsMask, XkbUseCoreKbd);
    if (!desc)
        return;
    for (int code = desc->min_key_code; code <= desc->max_key_code; ++code) {
        int const groups = XkbKeyNumGroups(desc, code);
        if (groups == 0)
            continue;
        unsigned const g = group < static_cast<unsigned>(groups) ? group : 0;
        if (XkbKeyGroupWidth(desc, code, g) < 2)
            continue;
        UInt32 const plain = CharacterOf(XkbKeySymEntry(desc, code, 0, g));
        UInt32 const shifted = CharacterOf(XkbKeySymEntry(desc, code, 1, g));
        // The first key wins: a layout may put a character on two keys.
        if (plain && shifted)
            mShifted.emplace(plain, shifted);
    }
    XkbFreeKeyboard(desc, 0, True);
}

UInt32 X11Keymap::Shifted(UInt32 unshifted) const
{
    auto const found = mShifted.find(unshifted);
    return found == mShifted.end() ? 0 : found->second;
}

bool SetX11WindowTitle(SDL_Window* window, std::string const& title)
{
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!window || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11 || !info.info.x11.display)
        return false;
    Display* display = info.info.x11.display;
    Atom const utf8 = XInternAtom(display, "UTF8_STRING", False);
    auto const* bytes = reinterpret_cast<unsigned char const*>(title.data());
    int const length = static_cast<int>(title.size());
    for (char const* name : { "_NET_WM_NAME", "WM_NAME", "_NET_WM_ICON_NAME", "WM_ICON_NAME" })
        XChangeProperty(
            display, info.info.x11.window, XInternAtom(display, name, False), utf8, 8, PropModeReplace, bytes, length);
    XFlush(display);
    return true;
}

} // namespace tw::display
