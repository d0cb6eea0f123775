#pragma once

#include "ui/win32/Win32Api.h"

#include <map>
#include <utility>

struct SIconResource;

// System icons made from an icon resource's PNG images, one per resource and size, kept until the
// cache goes (windows and controls only borrow them).
class CWin32IconCache
{
public:
    CWin32IconCache() = default;
    CWin32IconCache(const CWin32IconCache&) = delete;
    CWin32IconCache& operator=(const CWin32IconCache&) = delete;
    ~CWin32IconCache();

    // The resource's image closest to `size` (the smallest at least as large, else the largest),
    // scaled to `size` pixels; null when the image cannot be turned into an icon.
    HICON Get(const SIconResource& icon, int size);

private:
    std::map<std::pair<const SIconResource*, int>, HICON> m_icons;
};
