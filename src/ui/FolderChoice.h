#pragma once

#include <string>

enum class EFolderChoiceResult
{
    Chosen,
    Cancelled,
    // No folder chooser could be opened on this system.
    Unavailable,
};

// What the folder chooser returned; `path` is set only for Chosen, without a trailing separator.
struct SFolderChoice
{
    EFolderChoiceResult result = EFolderChoiceResult::Cancelled;
    std::string path;
};
