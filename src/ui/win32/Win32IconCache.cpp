#include "ui/win32/Win32IconCache.h"

#include "ui/IconResource.h"

namespace
{

// The icon format version that CreateIconFromResourceEx expects.
constexpr DWORD IconFormatVersion = 0x00030000;

} // namespace

CWin32IconCache::~CWin32IconCache()
{
    for (const auto& entry : m_icons)
    {
        if (entry.second != nullptr)
            DestroyIcon(entry.second);
    }
}

HICON CWin32IconCache::Get(const SIconResource& icon, int size)
{
    const auto key = std::make_pair(&icon, size);
    const auto found = m_icons.find(key);
    if (found != m_icons.end())
        return found->second;
    HICON handle = nullptr;
    if (const SIconImage* image = icon.ImageFor(size))
    {
        // The system reads PNG-compressed icon images directly.
        handle = CreateIconFromResourceEx(const_cast<PBYTE>(image->png), static_cast<DWORD>(image->length),
                                          TRUE, IconFormatVersion, size, size, LR_DEFAULTCOLOR);
    }
    m_icons.emplace(key, handle);
    return handle;
}
