#pragma once

#include "TestProgram.h"

#include <windows.h>

#include <string>
#include <vector>

// A program started for a test (Quorvel.exe, the simulator) whose windows are read from outside, as
// a screen reader would.
class CWindowProgram : public CTestProgram
{
public:
    using CTestProgram::CTestProgram;

    // A visible top-level window of this process with this caption, or null.
    HWND FindWindowTitled(const std::wstring& caption) const;
    // Waits for such a window and brings it to the front; null after `timeoutMs`.
    HWND WaitForWindow(const std::wstring& caption, int timeoutMs = 30000) const;
    // The id of the control with the keyboard focus in the program's input thread, or 0.
    int FocusId() const;

    // The text of any window, also of another process's edit fields.
    static std::wstring TextOf(HWND window);
    static std::wstring ClassOf(HWND window);
    // The children of a dialog in their order among siblings, which is the template's.
    static std::vector<HWND> ChildrenOf(HWND dialog);
    // The static texts of a message box, joined by line breaks.
    static std::wstring MessageOf(HWND box);
    // Saves what the screen shows of the window as a 24-bit bitmap file; false on failure.
    static bool SaveScreenshot(HWND window, const std::wstring& path);
};
