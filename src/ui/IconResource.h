#pragma once

#include "ui/IconImage.h"

// An icon in several sizes, smallest first.
struct SIconResource
{
    int id;
    const SIconImage* images;
    int imageCount;
};
