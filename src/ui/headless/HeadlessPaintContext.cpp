#include "ui/headless/HeadlessPaintContext.h"

#include "ui/IconResource.h"

CHeadlessPaintContext::CHeadlessPaintContext(std::vector<SPaintOperation>& operations, int controlId,
                                             const SRect& clientRect, SFontHandle defaultFont)
    : m_operations(operations), m_controlId(controlId), m_clientRect(clientRect), m_font(defaultFont)
{
}

SPaintOperation CHeadlessPaintContext::NewOperation(SPaintOperation::EKind kind) const
{
    SPaintOperation operation;
    operation.kind = kind;
    operation.controlId = m_controlId;
    return operation;
}

SFontHandle CHeadlessPaintContext::SelectFont(SFontHandle font)
{
    const SFontHandle previous = m_font;
    m_font = font;
    return previous;
}

void CHeadlessPaintContext::DrawText(const std::string& text, const SRect& rect)
{
    SPaintOperation operation = NewOperation(SPaintOperation::EKind::DrawText);
    operation.rect = rect;
    operation.text = text;
    operation.transparent = m_transparent;
    operation.font = m_font.native;
    m_operations.push_back(operation);
}

void CHeadlessPaintContext::FillRect(const SRect& rect, SRgbColour colour)
{
    SPaintOperation operation = NewOperation(SPaintOperation::EKind::FillRect);
    operation.rect = rect;
    operation.colour = colour;
    m_operations.push_back(operation);
}

void CHeadlessPaintContext::DrawIcon(int x, int y, const SIconResource& icon)
{
    SPaintOperation operation = NewOperation(SPaintOperation::EKind::DrawIcon);
    // The image a real toolkit would pick: the one for the system icon size, else the largest.
    int size = 0;
    for (int index = 0; index < icon.imageCount; ++index)
    {
        if (size != SystemIconSize)
            size = icon.images[index].size;
    }
    operation.rect = SRect{x, y, x + size, y + size};
    m_operations.push_back(operation);
}

void CHeadlessPaintContext::DrawPaletteImage(int x, int y, const SBitmapInfoHeader& header, const uint8_t*,
                                             const uint8_t*)
{
    SPaintOperation operation = NewOperation(SPaintOperation::EKind::DrawImage);
    operation.rect = SRect{x, y, x + header.width, y + header.height};
    m_operations.push_back(operation);
}
