#pragma once

#include "ui/PaintContext.h"
#include "ui/headless/PaintOperation.h"

#include <vector>

// A paint context that draws nothing and records every call.
class CHeadlessPaintContext : public CPaintContext
{
public:
    // The icon size the headless system reports.
    static constexpr int SystemIconSize = 32;

    CHeadlessPaintContext(std::vector<SPaintOperation>& operations, int controlId, const SRect& clientRect,
                          SFontHandle defaultFont);

    SRect GetClientRect() const override { return m_clientRect; }
    SFontHandle SelectFont(SFontHandle font) override;
    void SetTransparentBackground(bool transparent) override { m_transparent = transparent; }
    void DrawText(const std::string& text, const SRect& rect) override;
    void FillRect(const SRect& rect, SRgbColour colour) override;
    void DrawIcon(int x, int y, const SIconResource& icon) override;
    void DrawPaletteImage(int x, int y, const SBitmapInfoHeader& header, const uint8_t* colourTable,
                          const uint8_t* pixels) override;

private:
    SPaintOperation NewOperation(SPaintOperation::EKind kind) const;

    std::vector<SPaintOperation>& m_operations;
    int m_controlId;
    SRect m_clientRect;
    SFontHandle m_font;
    bool m_transparent = false;
};
