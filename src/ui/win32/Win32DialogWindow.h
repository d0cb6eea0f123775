#pragma once

#include "ui/DialogTemplate.h"
#include "ui/DialogWindow.h"
#include "ui/win32/Win32IconCache.h"
#include "ui/win32/Win32PaletteImage.h"

#include "ui/win32/Win32Api.h"

#include <string>
#include <vector>

class CDialog;
class CWin32Backend;

// A dialog window made by the system's dialog manager from an in-memory template of the dialog's
// template: Tab, Escape, Enter on the default button and the dialog units are the system's own.
// Runs modally with DialogBoxIndirectParamW, or without a loop (Create) with
// CreateDialogIndirectParamW. Subclassed labels keep their native window and paint through their
// CStatic.
class CWin32DialogWindow : public CDialogWindow
{
public:
    CWin32DialogWindow(CWin32Backend& backend, CDialog& dialog, const SDialogTemplate& dialogTemplate,
                       CWin32DialogWindow* parent);
    ~CWin32DialogWindow() override;

    // Null while the window does not exist.
    HWND GetHandle() const { return m_window; }
    HWND GetControlHandle(int index) const;
    // How often the background picture was converted for drawing (for tests).
    unsigned GetBackgroundConversionCount() const { return m_paletteImage.ConversionCount(); }

    bool Create() override;
    int RunModal() override;
    std::string GetCaption() const override;
    void SetCaption(const std::string& caption) override;
    bool IsControlEnabled(int index) const override;
    // -1: the dialog itself holds the focus, so that Escape and Enter still reach it as keys.
    void SetFocusControl(int index) override;
    SFontHandle GetControlFont(int index) const override;
    void InvalidateControl(int index) override;
    SRect GetWindowRect() const override;
    SRect GetClientRect() const override;
    SRgbColour GetSystemColour(ESystemColour colour) const override;
    bool IsMinimised() const override { return m_window != nullptr && IsIconic(m_window) != FALSE; }
    int GetSystemIconWidth() const override { return GetSystemMetrics(SM_CXICON); }
    int GetSystemIconHeight() const override { return GetSystemMetrics(SM_CYICON); }
    void SetIcon(const SIconResource& icon, bool big) override;
    void Invalidate() override;
    bool StartTimer(unsigned id, unsigned intervalMilliseconds) override;
    bool StopTimer(unsigned id) override;
    bool HasSystemMenu() const override;
    void AppendSystemMenuItem(unsigned id, const std::string& text) override;

private:
    void EndNative(int result) override;
    std::string GetNativeText(int index) const override;
    void SetNativeText(int index, const std::string& text) override;
    void EnableNative(int index, bool enable) override;
    bool IsNativeChecked(int index) const override;
    void CheckNative(int index, bool checked) override;
    bool HasNativeFocus(int index) const override;
    void ShowProgress(int index, const SProgress& progress) override;
    void SubclassNative(int index, bool subclassed) override;

    static INT_PTR CALLBACK DialogProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK LabelProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                           UINT_PTR subclassId, DWORD_PTR data);

    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnLabelMessage(int index, UINT message, WPARAM wParam, LPARAM lParam);
    void OnInitDialog();
    void OnCommand(int id, int notification);
    bool OnSysCommand(WPARAM command, LPARAM parameter);
    void OnEraseBackground(HDC dc);
    void OnPaint();
    // Repaints the dialog's background under a label and then the label over it.
    void RedrawUnderLabel(int index);
    void ReportCreationFailure();
    // False once the dialog is ending or going: no more reports to it.
    bool IsReporting() const { return m_window != nullptr && !m_destroying; }

    CWin32Backend& m_backend;
    CWin32DialogWindow* m_parent;
    HWND m_window = nullptr;
    std::vector<HWND> m_controls;
    CWin32IconCache m_icons;
    // The background picture as last drawn, reused while it does not change.
    CWin32PaletteImage m_paletteImage;
    bool m_modal = false;
    bool m_destroying = false;
};
