#pragma once

#include "support/RefString.h"

// One setup file of a download: its name on the recorder and the full path of the local copy.
struct SFileEntry
{
    CRefString name;
    CRefString localPath;
};
