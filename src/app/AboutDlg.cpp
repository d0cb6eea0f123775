#include "app/AboutDlg.h"

#include "app/Resources.h"

CAboutDlg::CAboutDlg(CDialog* parent) : CDialog(AppResources(), IDD_ABOUTBOX, parent) {}

CAboutDlg::~CAboutDlg() = default;
