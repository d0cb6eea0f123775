#pragma once

#include "ui/Dialog.h"

// The about box: the icon, the version line and one more line; never translated.
class CAboutDlg : public CDialog
{
public:
    explicit CAboutDlg(CDialog* parent = nullptr);
    ~CAboutDlg() override;
};
