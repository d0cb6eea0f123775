#include "OperatorInput.h"

namespace
{

// Time for the target to take each input before the next one comes.
constexpr DWORD InputPauseMilliseconds = 30;

void Send(INPUT* inputs, UINT count)
{
    SendInput(count, inputs, sizeof(INPUT));
    Sleep(InputPauseMilliseconds);
}

// A virtual key, or a character as such.
INPUT KeyInput(WORD key, bool up, wchar_t character = 0)
{
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.wScan = character;
    input.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0) | (character != 0 ? KEYEVENTF_UNICODE : 0);
    return input;
}

} // namespace

void COperatorInput::Press(WORD key)
{
    INPUT inputs[2] = {KeyInput(key, false), KeyInput(key, true)};
    Send(inputs, 2);
}

void COperatorInput::PressWith(WORD modifier, WORD key)
{
    INPUT inputs[4] = {KeyInput(modifier, false), KeyInput(key, false), KeyInput(key, true),
                       KeyInput(modifier, true)};
    Send(inputs, 4);
}

void COperatorInput::Type(const std::wstring& text)
{
    for (const wchar_t character : text)
    {
        INPUT inputs[2] = {KeyInput(0, false, character), KeyInput(0, true, character)};
        Send(inputs, 2);
    }
}

void COperatorInput::Click(POINT point)
{
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    INPUT inputs[3]{};
    for (INPUT& input : inputs)
    {
        input.type = INPUT_MOUSE;
        input.mi.dx = MulDiv(point.x, 65535, width - 1);
        input.mi.dy = MulDiv(point.y, 65535, height - 1);
        input.mi.dwFlags = MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
    }
    inputs[1].mi.dwFlags |= MOUSEEVENTF_LEFTDOWN;
    inputs[2].mi.dwFlags |= MOUSEEVENTF_LEFTUP;
    Send(inputs, 3);
}

void COperatorInput::ClickCentreOf(HWND window)
{
    RECT rect{};
    GetWindowRect(window, &rect);
    Click(POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2});
}

bool COperatorInput::WaitFor(const std::function<bool()>& condition, int timeoutMs)
{
    const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(timeoutMs);
    while (!condition())
    {
        if (GetTickCount64() > deadline)
            return false;
        Sleep(50);
    }
    return true;
}
