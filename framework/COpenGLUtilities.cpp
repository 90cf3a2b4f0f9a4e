#include "framework/COpenGLUtilities.h"

#include "foundation/CSystemUtilities.h"
#include "framework/CDisplayManager.h"
#include "framework/COpenGLContext.h"

COpenGLContext* COpenGLUtilities::mCurrentContext = nullptr;
std::map<DisplayIDType, COpenGLContext*> COpenGLUtilities::mGLScratchContextMap;
COpenGLContext* COpenGLUtilities::mGLScratchContextOld = nullptr;

namespace {

// Words of renderer names, with what they make of the card; the first that fits wins.
struct CardWords {
    char const* first;
    char const* second; // null: the first alone
    UInt32 card;
};

constexpr CardWords kNVIDIACards[] = {
    { "geforce2", nullptr, COpenGLUtilities::kCardGeForce2 },
    { "geforce3", nullptr, COpenGLUtilities::kCardGeForce3 },
    { "geforce4", "mx", COpenGLUtilities::kCardGeForce4MX },
    { "geforce4", nullptr, COpenGLUtilities::kCardGeForce4 },
    { "geforce fx", "5200 ultra", COpenGLUtilities::kCardGeForceFX5200Ultra },
    { "geforce fx", nullptr, COpenGLUtilities::kCardGeForceFX },
    { "nvidia nv34map opengl engine", nullptr, COpenGLUtilities::kCardGeForceFX },
};

constexpr CardWords kRadeonCards[] = {
    { "7000", nullptr, COpenGLUtilities::kCardRadeon7000 },
    { "8500", nullptr, COpenGLUtilities::kCardRadeon8500 },
    { "9000", nullptr, COpenGLUtilities::kCardRadeon9000 },
    { "9200", nullptr, COpenGLUtilities::kCardRadeon9200 },
    { "9600", nullptr, COpenGLUtilities::kCardRadeon9600 }, // the XT is told by its device id
    { "9700", nullptr, COpenGLUtilities::kCardRadeon9700 },
    { "9800", nullptr, COpenGLUtilities::kCardRadeon9800 },
    { "x800 xt", nullptr, COpenGLUtilities::kCardRadeonX800XT },
    { "ati radeon opengl engine", nullptr, COpenGLUtilities::kCardRadeonGeneric },
};

template <std::size_t N> UInt32 FindCard(std::string const& lower, CardWords const (&table)[N], UInt32 otherwise)
{
    for (CardWords const& words : table)
        if (lower.find(words.first) != std::string::npos
            && (!words.second || lower.find(words.second) != std::string::npos))
            return words.card;
    return otherwise;
}

// Whether the display has a pixel format with sample buffers at all.
bool OffersSamples(CDisplayRef& display)
{
    GLint const attributes[] = { AGL_RGBA, AGL_SAMPLE_BUFFERS_ARB, 1, AGL_SAMPLES_ARB, 2, AGL_NONE };
    AGLDevice const device = display.GetGDHandle();
    AGLPixelFormat const format = aglChoosePixelFormat(device ? &device : nullptr, device ? 1 : 0, attributes);
    aglDestroyPixelFormat(format);
    return format != nullptr;
}

} // namespace

bool COpenGLUtilities::HaveAGL()
{
    GLint major = 0, minor = 0;
    aglGetVersion(&major, &minor);
    return major >= 1;
}

CString COpenGLUtilities::GetGraphicsCardRenderer(CDisplayRef display)
{
    if (!UseScratchContext(display))
        return CString();
    GLubyte const* renderer = glGetString(GL_RENDERER);
    CString const name(renderer ? reinterpret_cast<char const*>(renderer) : "", kCFStringEncodingUTF8);
    RestoreContext();
    return name;
}

UInt32 COpenGLUtilities::GetGraphicsCardType(CDisplayRef display)
{
    return GetGraphicsCardType(GetGraphicsCardRenderer(display));
}

UInt32 COpenGLUtilities::GetGraphicsCardType(CString const& renderer)
{
    DeviceInfo info;
    CDisplayManager::GetDeviceinfo(CDisplayManager::GetScreenDevice(), info);
    return GetGraphicsCardType(renderer, info.deviceID);
}

UInt32 COpenGLUtilities::GetGraphicsCardType(CString const& renderer, UInt32 deviceID)
{
    std::string const lower = renderer.GetLower().GetUTF8();
    if (lower.find("nvidia") != std::string::npos)
        return FindCard(lower, kNVIDIACards, kCardNVIDIA);
    if (lower.find("radeon") == std::string::npos)
        return kCardOther;
    UInt32 const card = FindCard(lower, kRadeonCards, kCardRadeon);
    return card == kCardRadeon9600 && deviceID == kRadeon9600XTDeviceID ? UInt32(kCardRadeon9600XT) : card;
}

UInt32 COpenGLUtilities::PackGLVersion(char const* version)
{
    UInt32 packed = 0;
    int shift = 8;
    for (char const* c = version; c && *c && shift >= 0; ++c) {
        if (*c == '.')
            continue;
        if (*c < '0' || *c > '9')
            break;
        packed |= UInt32(*c - '0') << shift;
        shift -= 4;
    }
    return packed;
}

UInt32 COpenGLUtilities::GetGLVersion()
{
    if (!HaveAGL() || !UseScratchContext(CDisplayRef()))
        return 0;
    GLubyte const* text = glGetString(GL_VERSION);
    UInt32 version = PackGLVersion(reinterpret_cast<char const*>(text));
    RestoreContext();
    if (version == 0) {
        GLint major = 0, minor = 0;
        aglGetVersion(&major, &minor);
        version = UInt32(major & 15) << 8 | UInt32(minor & 15) << 4;
    }
    return version;
}

bool COpenGLUtilities::HaveExtension(CString const& name)
{
    if (COpenGLContext* current = GetCurrentContext())
        return current->HaveExtension(name);
    if (!UseScratchContext(CDisplayRef()))
        return false;
    bool const have = GetCurrentContext() && GetCurrentContext()->HaveExtension(name);
    RestoreContext();
    return have;
}

bool COpenGLUtilities::HasDriverBug(GLDriverBugs bug)
{
    return HasDriverBug(
        bug, GetGraphicsCardType(CDisplayManager::GetScreenDevice()), CSystemUtilities::GetSystemVersion());
}

bool COpenGLUtilities::HasDriverBug(GLDriverBugs bug, UInt32 card, UInt32 system)
{
    bool const geForce4 = card == kCardGeForce4;
    bool const geForceFX = card == kCardGeForceFX || card == kCardGeForceFX5200Ultra;
    switch (bug) {
    case 0:
        return (card == kCardGeForce3 || geForce4 || geForceFX) && system < 0x1034;
    case 1:
        return (card == kCardGeForce3 || geForce4) && system < 0x1034;
    case 2:
        return geForce4 && system >= 0x1030 && system <= 0x1033;
    case 3:
        return system < 0x1030
            && (card == kCardGeForce2 || card == kCardGeForce3 || geForce4 || card == kCardGeForce4MX);
    case 4:
        return card == kCardRadeon9600;
    case 5:
        return card == kCardGeForceFX5200Ultra && system >= 0x1030 && system <= 0x1034;
    case 6:
        return (geForce4 && system >= 0x1030) || (geForceFX && system < 0x1036);
    case 7:
        return geForce4 || (geForceFX && system < 0x1036);
    default:
        return false;
    }
}

bool COpenGLUtilities::CanDoFSAA(CDisplayRef display, FSAAMode mode)
{
    COpenGLContext* const scratch = GetScratchContext(display);
    if (!scratch || !UseScratchContext(display))
        return false;
    bool can = false;
    if ((mode == 0 || mode == 1) && CSystemUtilities::GetSystemVersion() >= 0x1010)
        can = (scratch->GetExtensionString().Contains("GL_ARB_multisample", true)
                  || PackGLVersion(reinterpret_cast<char const*>(glGetString(GL_VERSION))) > 0x11F)
            && OffersSamples(scratch->GetDisplay());
    if (!can && (mode == 0 || mode == 2)) {
        GLubyte const* text = glGetString(GL_RENDERER);
        CString const renderer
            = CString(text ? reinterpret_cast<char const*>(text) : "", kCFStringEncodingUTF8).GetLower();
        GLint value = 0;
        // The Radeon's own anti-aliasing is there where its option cannot be read.
        can = (renderer.Contains("radeon", true) || renderer.Contains("ati r-200 opengl engine", true))
            && !aglGetInteger(scratch->GetAGLContext(), kRadeonFSAAOption, &value);
    }
    RestoreContext();
    return can;
}

bool COpenGLUtilities::EnableRadeonFSAA(UInt32 samples)
{
    COpenGLContext* const current = GetCurrentContext();
    if (CSystemUtilities::GetSystemVersion() < 0x1020 || !current)
        return false;
    // Only a driver that takes the option has it: none here does, and then nothing is cleared.
    GLint const value = GLint(samples);
    if (!aglSetInteger(current->GetAGLContext(), kRadeonFSAAOption, &value))
        return false;
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    return true;
}

COpenGLContext* COpenGLUtilities::GetScratchContext(CDisplayRef display)
{
    if (display.IsNotValid())
        display = CDisplayManager::GetScreenDevice();
    if (display.IsNotValid())
        return nullptr;
    auto const found = mGLScratchContextMap.find(display.GetDisplayID());
    if (found != mGLScratchContextMap.end())
        return found->second;
    auto* context = new COpenGLContext(display);
    if (!context->CreateAGLContext(8, 8, 8, 8, 0, 0, 0, COpenGLContext::kFlagAccelerated, &display, false)) {
        delete context;
        return nullptr;
    }
    mGLScratchContextMap[display.GetDisplayID()] = context;
    return context;
}

void COpenGLUtilities::ForgetContext(COpenGLContext const* context)
{
    if (mCurrentContext == context)
        mCurrentContext = nullptr;
    if (mGLScratchContextOld == context)
        mGLScratchContextOld = nullptr;
}

void COpenGLUtilities::ResetForTesting()
{
    for (auto const& [id, scratch] : mGLScratchContextMap)
        delete scratch;
    mGLScratchContextMap.clear();
    COpenGLContext::DeleteSharedContexts();
    mCurrentContext = nullptr;
    mGLScratchContextOld = nullptr;
    tw::toolbox::ResetOpenGLForTesting();
}

COpenGLContext* COpenGLUtilities::GetCurrentContext() { return HaveAGL() ? mCurrentContext : nullptr; }

bool COpenGLUtilities::IsScratchContext(COpenGLContext const* context)
{
    for (auto const& [id, scratch] : mGLScratchContextMap)
        if (scratch == context)
            return true;
    return false;
}

bool COpenGLUtilities::UseScratchContext(CDisplayRef display)
{
    COpenGLContext* const current = GetCurrentContext();
    COpenGLContext* const scratch = GetScratchContext(display);
    if (!scratch)
        return false;
    if (scratch == current)
        return true;
    if (!IsScratchContext(current))
        mGLScratchContextOld = current;
    SetCurrentContext(scratch);
    return true;
}

// The context that was current before a scratch context took over comes back.
void COpenGLUtilities::RestoreContext()
{
    SetCurrentContext(mGLScratchContextOld);
    mGLScratchContextOld = nullptr;
}

bool COpenGLUtilities::SetCurrentContext(COpenGLContext* context)
{
    if (context) {
        bool const made = aglSetCurrentContext(context->GetAGLContext());
        if (made)
            mCurrentContext = context;
        return made;
    }
    mCurrentContext = nullptr;
    COpenGLContext* const shared = COpenGLContext::GetSharedContext(CDisplayManager::GetScreenDevice());
    return shared ? bool(aglSetCurrentContext(shared->GetAGLContext())) : true;
}
