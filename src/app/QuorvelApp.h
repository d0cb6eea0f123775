#pragma once

#include "ui/WinApp.h"

// The application: runs the main dialog modally, then ends the program.
class CQuorvelApp : public CWinApp
{
public:
    bool InitInstance() override;
};
