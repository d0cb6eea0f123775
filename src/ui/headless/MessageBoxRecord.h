#pragma once

#include "ui/MessageBoxTypes.h"

#include <string>

// One message box as the headless backend saw it.
struct SMessageBoxRecord
{
    std::string text;
    std::string title;
    EMessageBoxIcon icon = EMessageBoxIcon::None;
    EMessageBoxButtons buttons = EMessageBoxButtons::Ok;
    // The scripted answer it returned.
    EMessageBoxResult answer = EMessageBoxResult::None;
};
