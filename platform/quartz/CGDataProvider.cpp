#include "quartz/CGDataProvider.h"

#include <climits>
#include <cstdio>

namespace tw::quartz {

DataProvider::DataProvider(std::vector<UInt8> bytes)
    : mCopy(std::move(bytes))
    , mData(mCopy.data())
    , mSize(mCopy.size())
    , mInfo(nullptr)
    , mRelease(nullptr)
{
}

DataProvider::DataProvider(void* info, void const* data, size_t size, CGDataProviderReleaseDataCallback release)
    : mData(static_cast<UInt8 const*>(data))
    , mSize(size)
    , mInfo(info)
    , mRelease(release)
{
}

DataProvider::~DataProvider()
{
    if (mRelease)
        mRelease(mInfo, mData, mSize);
}

} // namespace tw::quartz

namespace {

constexpr long kMaxFileSize = 256L * 1024 * 1024;

bool ReadWholeFile(char const* path, std::vector<UInt8>& bytes)
{
    std::FILE* file = std::fopen(path, "rb");
    if (!file)
        return false;
    bool ok = std::fseek(file, 0, SEEK_END) == 0;
    long const size = ok ? std::ftell(file) : -1;
    ok = ok && size >= 0 && size <= kMaxFileSize && std::fseek(file, 0, SEEK_SET) == 0;
    if (ok) {
        bytes.resize(size_t(size));
        ok = std::fread(bytes.data(), 1, bytes.size(), file) == bytes.size();
    }
    std::fclose(file);
    return ok;
}

} // namespace

using tw::quartz::DataProvider;

CFTypeID CGDataProviderGetTypeID() { return kTWTypeIDDataProvider; }

CGDataProviderRef CGDataProviderCreateWithData(
    void* info, void const* data, size_t size, CGDataProviderReleaseDataCallback releaseData)
{
    if (!data && size > 0)
        return nullptr;
    return new DataProvider(info, data, size, releaseData);
}

CGDataProviderRef CGDataProviderCreateWithCFData(CFDataRef data)
{
    if (!data)
        return nullptr;
    UInt8 const* bytes = CFDataGetBytePtr(data);
    return new DataProvider(std::vector<UInt8>(bytes, bytes + CFDataGetLength(data)));
}

CGDataProviderRef CGDataProviderCreateWithURL(CFURLRef url)
{
    char path[PATH_MAX];
    if (!url || !CFURLGetFileSystemRepresentation(url, true, reinterpret_cast<UInt8*>(path), sizeof(path)))
        return nullptr;
    std::vector<UInt8> bytes;
    if (!ReadWholeFile(path, bytes))
        return nullptr;
    return new DataProvider(std::move(bytes));
}

CGDataProviderRef CGDataProviderRetain(CGDataProviderRef provider)
{
    if (provider)
        provider->Retain();
    return provider;
}

void CGDataProviderRelease(CGDataProviderRef provider)
{
    if (provider)
        provider->Release();
}
