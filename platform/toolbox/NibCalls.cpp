#include "toolbox/NibCalls.h"

#include "corefoundation/CFURL.h"
#include "toolbox/Menu.h"
#include "toolbox/MenuBar.h"
#include "toolbox/Nib.h"
#include "toolbox/NibBuilder.h"
#include "toolbox/ToolboxErrors.h"
#include "toolbox/Window.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>

using tw::toolbox::Nib;
using tw::toolbox::NibBuilder;

namespace {

// Nib refs are checked against the live ones: a disposed or foreign pointer is refused.
std::vector<Nib*>& LiveNibs()
{
    static std::vector<Nib*> nibs;
    return nibs;
}

Nib* LiveNib(IBNibRef nib)
{
    auto const& nibs = LiveNibs();
    return std::find(nibs.begin(), nibs.end(), nib) != nibs.end() ? nib : nullptr;
}

std::string PathOf(CFURLRef url)
{
    char buffer[4096] = {};
    if (!url || !CFURLGetFileSystemRepresentation(url, true, reinterpret_cast<UInt8*>(buffer), sizeof buffer))
        return {};
    return buffer;
}

} // namespace

namespace tw::toolbox {

OSStatus CreateNibFromText(std::string const& text, IBNibRef* outNib)
{
    if (!outNib)
        return paramErr;
    *outNib = nullptr;
    auto* nib = new Nib;
    std::string error;
    OSStatus const status = nib->Load(text, &error);
    if (status != noErr) {
        std::fprintf(stderr, "nib: %s\n", error.c_str());
        nib->Release();
        return status;
    }
    LiveNibs().push_back(nib);
    *outNib = nib;
    return noErr;
}

OSStatus CreateNibFromFile(std::string const& path, IBNibRef* outNib)
{
    if (!outNib)
        return paramErr;
    *outNib = nullptr;
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return kIBCarbonRuntimeCantFindNibFile;
    std::ostringstream text;
    text << file.rdbuf();
    return CreateNibFromText(text.str(), outNib);
}

} // namespace tw::toolbox

OSStatus CreateNibReferenceWithCFBundle(CFBundleRef bundle, CFStringRef nibName, IBNibRef* outNib)
{
    if (!outNib || !nibName)
        return paramErr;
    *outNib = nullptr;
    if (!bundle)
        return kIBCarbonRuntimeCantFindNibFile;
    CFURLRef url = CFBundleCopyResourceURL(bundle, nibName, CFSTR("nib"), nullptr);
    std::string const path = PathOf(url);
    if (url)
        CFRelease(url);
    if (path.empty())
        return kIBCarbonRuntimeCantFindNibFile;
    return tw::toolbox::CreateNibFromFile(path, outNib);
}

OSStatus CreateNibReference(CFStringRef nibName, IBNibRef* outNib)
{
    return CreateNibReferenceWithCFBundle(CFBundleGetMainBundle(), nibName, outNib);
}

void DisposeNibReference(IBNibRef nib)
{
    if (!LiveNib(nib))
        return;
    std::erase(LiveNibs(), nib);
    nib->Release();
}

OSStatus CreateWindowFromNib(IBNibRef nib, CFStringRef name, WindowRef* outWindow)
{
    if (!LiveNib(nib) || !name || !outWindow)
        return paramErr;
    *outWindow = nullptr;
    pugi::xml_node const node = nib->FindWindow(tw::cf::ToUTF8(name));
    if (!node)
        return kIBCarbonRuntimeCantFindObject;
    return NibBuilder::BuildWindow(node, outWindow);
}

OSStatus CreateMenuFromNib(IBNibRef nib, CFStringRef name, MenuRef* outMenu)
{
    if (!LiveNib(nib) || !name || !outMenu)
        return paramErr;
    *outMenu = nullptr;
    pugi::xml_node const node = nib->FindMenu(tw::cf::ToUTF8(name));
    if (!node)
        return kIBCarbonRuntimeCantFindObject;
    return NibBuilder::BuildMenu(node, outMenu);
}

OSStatus CreateMenuBarFromNib(IBNibRef nib, CFStringRef name, MenuRef* outRootMenu)
{
    if (!LiveNib(nib) || !name || !outRootMenu)
        return paramErr;
    *outRootMenu = nullptr;
    pugi::xml_node const node = nib->FindMenuBar(tw::cf::ToUTF8(name));
    if (!node)
        return kIBCarbonRuntimeCantFindObject;
    return NibBuilder::BuildMenuBar(node, outRootMenu);
}

OSStatus SetMenuBarFromNib(IBNibRef nib, CFStringRef name)
{
    MenuRef root = nullptr;
    OSStatus const status = CreateMenuBarFromNib(nib, name, &root);
    if (status != noErr)
        return status;
    tw::toolbox::MenuBar::SetRoot(root);
    root->Release();
    return noErr;
}
