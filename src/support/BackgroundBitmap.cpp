#include "support/BackgroundBitmap.h"

#include "support/PaintTarget.h"

#include <cstring>
#include <limits>
#include <new>

namespace
{

constexpr size_t HeaderSize = sizeof(SBitmapInfoHeader);
constexpr size_t ColourEntrySize = 4;

uint16_t ColourCountForDepth(int bitsPerPixel)
{
    switch (bitsPerPixel)
    {
    case 1:
        return 2;
    case 4:
        return 16;
    case 8:
        return 256;
    default:
        return 0;
    }
}

} // namespace

CBackgroundBitmap::CBackgroundBitmap()
{
    Free();
}

CBackgroundBitmap::~CBackgroundBitmap()
{
    Free();
}

void CBackgroundBitmap::Free()
{
    delete[] m_block;
    m_block = nullptr;
    m_header = SBitmapInfoHeader{};
}

uint8_t* CBackgroundBitmap::Create(int width, int height, int bitsPerPixel)
{
    Free();
    m_colourCount = ColourCountForDepth(bitsPerPixel);
    m_stride = 0;
    if (width <= 0 || height <= 0 || bitsPerPixel <= 0 || bitsPerPixel > 32)
        return nullptr;

    // A stride or image size beyond 32 bits cannot be described by the header.
    const int64_t stride = ((static_cast<int64_t>(bitsPerPixel) * width + 31) / 32) * 4;
    const int64_t imageSize = stride * height;
    if (imageSize > std::numeric_limits<int32_t>::max())
        return nullptr;
    m_stride = static_cast<int32_t>(stride);

    SBitmapInfoHeader header;
    header.size = HeaderSize;
    header.width = width;
    header.height = height;
    header.planes = 1;
    header.bitsPerPixel = static_cast<uint16_t>(bitsPerPixel);
    header.compression = 0;
    header.imageSize = static_cast<uint32_t>(imageSize);

    const size_t blockSize = HeaderSize + ColourEntrySize * m_colourCount + static_cast<size_t>(imageSize);
    m_block = new (std::nothrow) uint8_t[blockSize];
    if (m_block == nullptr)
        return nullptr;
    m_header = header;
    std::memcpy(m_block, &m_header, HeaderSize);
    return m_block;
}

uint8_t* CBackgroundBitmap::ColourTable() const
{
    return m_block + HeaderSize;
}

void CBackgroundBitmap::SetPaletteEntry(uint8_t index, uint8_t red, uint8_t green, uint8_t blue)
{
    if (m_block == nullptr || m_colourCount == 0 || index >= m_colourCount)
        return;
    uint8_t* entry = ColourTable() + ColourEntrySize * index;
    entry[0] = blue;
    entry[1] = green;
    entry[2] = red;
    entry[3] = 0;
}

void CBackgroundBitmap::Tint(uint32_t colour, int percentage)
{
    if (m_block == nullptr || m_colourCount == 0)
        return;
    // Outside 0..100 the blend would leave the 0..255 range of a channel.
    if (percentage > 100)
        percentage = 100;
    if (percentage < 0)
        percentage = 0;
    const SRgbColour target = SRgbColour::FromColourValue(colour);
    const int keep = 100 - percentage;
    for (int index = 0; index < m_colourCount; ++index)
    {
        uint8_t* entry = ColourTable() + ColourEntrySize * static_cast<size_t>(index);
        entry[0] = static_cast<uint8_t>((entry[0] * keep + target.blue * percentage) / 100);
        entry[1] = static_cast<uint8_t>((entry[1] * keep + target.green * percentage) / 100);
        entry[2] = static_cast<uint8_t>((entry[2] * keep + target.red * percentage) / 100);
    }
}

void CBackgroundBitmap::Fill(uint8_t value)
{
    if (m_block == nullptr)
        return;
    std::memset(GetPixels(), value, m_header.imageSize);
}

void CBackgroundBitmap::PutPixel(int x, int y, uint8_t value)
{
    if (m_block == nullptr || m_colourCount == 0)
        return;
    if (x < 0 || x >= m_header.width || y < 0 || y >= m_header.height)
        return;
    const int memoryRow = m_header.height - 1 - y;
    GetPixels()[static_cast<size_t>(memoryRow) * static_cast<size_t>(m_stride) + static_cast<size_t>(x)] =
        value;
}

uint8_t* CBackgroundBitmap::GetPixels() const
{
    if (m_block == nullptr)
        return nullptr;
    return ColourTable() + ColourEntrySize * m_colourCount;
}

SRgbColour CBackgroundBitmap::GetPaletteEntry(int index) const
{
    if (m_block == nullptr || index < 0 || index >= m_colourCount)
        return SRgbColour{};
    const uint8_t* entry = ColourTable() + ColourEntrySize * static_cast<size_t>(index);
    return SRgbColour{entry[2], entry[1], entry[0]};
}

size_t CBackgroundBitmap::GetBlockSize() const
{
    if (m_block == nullptr)
        return 0;
    return HeaderSize + ColourEntrySize * m_colourCount + m_header.imageSize;
}

void CBackgroundBitmap::Draw(CPaintTarget& target, int x, int y) const
{
    if (m_block == nullptr)
        return;
    target.DrawPaletteImage(x, y, m_header, ColourTable(), GetPixels());
}
