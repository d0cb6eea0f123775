#pragma once

#include "support/PaintTarget.h"
#include "support/RgbColour.h"
#include "ui/FontHandle.h"
#include "ui/Rect.h"

#include <string>

struct SIconResource;

// Drawing on one window during a paint: the dialog's client area, or one label whose origin and
// clipping the backend has set up.
class CPaintContext : public CPaintTarget
{
public:
    // (0, 0, width, height) of the window being painted.
    virtual SRect GetClientRect() const = 0;
    // Returns the font that was selected before.
    virtual SFontHandle SelectFont(SFontHandle font) = 0;
    // Transparent: text is drawn without filling the background behind it.
    virtual void SetTransparentBackground(bool transparent) = 0;
    // Left- and top-aligned in `rect`; line breaks in the text start new lines.
    virtual void DrawText(const std::string& text, const SRect& rect) = 0;
    virtual void FillRect(const SRect& rect, SRgbColour colour) = 0;
    // The icon's image closest to the system icon size, its top-left corner at (x, y).
    virtual void DrawIcon(int x, int y, const SIconResource& icon) = 0;
};
