#pragma once

#include "ui/IconImage.h"

// An icon in several sizes, smallest first.
struct SIconResource
{
    int id;
    const SIconImage* images;
    int imageCount;

    // The smallest image at least `size` pixels wide, else the largest; null without images.
    const SIconImage* ImageFor(int size) const
    {
        for (int index = 0; index < imageCount; ++index)
        {
            if (images[index].size >= size)
                return &images[index];
        }
        return imageCount > 0 ? &images[imageCount - 1] : nullptr;
    }
};
