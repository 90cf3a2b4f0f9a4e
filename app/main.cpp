#include "corefoundation/CoreFoundation.h"

#include <cstdio>
#include <string>

// The application's windows do not exist yet: this entry point checks that the
// bundle it runs from is whole (Info.plist and the string table) and says so.
int main(int, char**)
{
    CFBundleRef bundle = CFBundleGetMainBundle();
    if (!bundle) {
        std::fprintf(stderr, "Tarnwick: cannot find the application bundle around the executable.\n");
        return 1;
    }
    auto name = tw::cf::ToUTF8(static_cast<CFStringRef>(CFBundleGetValueForInfoDictionaryKey(bundle, kCFBundleNameKey)));
    auto version
        = tw::cf::ToUTF8(static_cast<CFStringRef>(CFBundleGetValueForInfoDictionaryKey(bundle, kCFBundleVersionKey)));
    CFStringRef loading = CFCopyLocalizedString(CFSTR("ViewTileLoading"), "");
    std::printf("%s %s: bundle and string table found (\"ViewTileLoading\" = \"%s\").\n", name.c_str(), version.c_str(),
        tw::cf::ToUTF8(loading).c_str());
    std::printf("The map window is not built yet: this version has the platform layer only.\n");
    CFRelease(loading);
    return 0;
}
