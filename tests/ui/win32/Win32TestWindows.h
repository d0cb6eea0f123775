#pragma once

#include "ui/win32/Win32Api.h"

#include "DialogRulesBackend.h"

#include <memory>
#include <vector>

class CDialog;
class CWin32Backend;

// The backend, started once per process and shared by every test; a test failure when it cannot
// start.
CWin32Backend& StartedBackend();
// The dialog's window once it is on the screen, else null.
HWND ShownWindowOf(const CDialog& dialog);
// The visible top-level windows of this thread other than `except`: the message boxes and folder
// browsers that a dialog has open.
std::vector<HWND> OtherWindowsOfThisThread(HWND except);

// What the screen shows of a window's client area, read back pixel by pixel; empty if it cannot.
CDialogRulesBackend::SPixels ClientPixels(HWND window);
// This backend as the dialog rules suite drives it (win32_dialog_rules.cpp), also for what only
// win32 has.
std::unique_ptr<CDialogRulesBackend> MakeWin32RulesBackend();
