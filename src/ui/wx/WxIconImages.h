#pragma once

#include <wx/bitmap.h>
#include <wx/iconbndl.h>

struct SIconResource;

// Turns an icon resource's PNG images into toolkit images.
class CWxIconImages
{
public:
    // Every size of the icon.
    static wxIconBundle Bundle(const SIconResource& icon);
    // The size closest to `size` (the smallest one that is at least as large, else the largest).
    static wxBitmap Bitmap(const SIconResource& icon, int size);
};
