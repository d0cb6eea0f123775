#pragma once

#include <windows.h>

#include <functional>
#include <string>

// The operator's keyboard and mouse, through the system's input queue (SendInput), so that every
// key and click travels the way a person's would: to the foreground window, through the dialog
// manager and the controls. Waits are bounded.
class COperatorInput
{
public:
    static void Press(WORD key);
    // `key` while `modifier` is held down.
    static void PressWith(WORD modifier, WORD key);
    static void Type(const std::wstring& text);
    // A left click at a point of the screen.
    static void Click(POINT point);
    static void ClickCentreOf(HWND window);

    // Polls `condition` until it holds; false after `timeoutMs`.
    static bool WaitFor(const std::function<bool()>& condition, int timeoutMs = 10000);
};
