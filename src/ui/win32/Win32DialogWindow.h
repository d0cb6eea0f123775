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
    void EndModal(int result) override;
    std::string GetCaption() const override;
    void SetCaption(const std::string& caption) override;
    int GetControlCount() const override { return static_cast<int>(m_controls.size()); }
    int FindControl(int id) const override;
    const SControlTemplate& GetControlTemplate(int index) const override
    {
        return m_controls[index].definition;
    }
    std::string GetControlText(int index) const override;
    void SetControlText(int index, const std::string& text) override;
    bool IsControlEnabled(int index) const override;
    void EnableControl(int index, bool enable) override;
    bool IsControlChecked(int index) const override;
    void CheckControl(int index, bool checked) override;
    int GetFocusControl() const override;
    void SetFocusControl(int index) override;
    void SetProgressRange(int index, int lower, int upper) override;
    void SetProgressPosition(int index, int position) override;
    SRect GetControlRect(int index) const override;
    SFontHandle GetControlFont(int index) const override;
    void SubclassLabel(int index, CStatic* label) override;
    void InvalidateControl(int index) override;
    SRect GetWindowRect() const override;
    SRect GetClientRect() const override;
    SRgbColour GetSystemColour(ESystemColour colour) const override;
    bool IsMinimised() const override;
    int GetSystemIconWidth() const override;
    int GetSystemIconHeight() const override;
    void SetIcon(const SIconResource& icon, bool big) override;
    void Invalidate() override;
    bool StartTimer(unsigned id, unsigned intervalMilliseconds) override;
    bool StopTimer(unsigned id) override;
    bool HasSystemMenu() const override;
    void AppendSystemMenuItem(unsigned id, const std::string& text) override;

private:
    struct SControl
    {
        SControlTemplate definition;
        HWND window = nullptr;
        CStatic* label = nullptr;
    };

    static INT_PTR CALLBACK DialogProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK LabelProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                           UINT_PTR subclassId, DWORD_PTR data);

    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnLabelMessage(SControl& control, UINT message, WPARAM wParam, LPARAM lParam);
    bool OnInitDialog();
    void OnCommand(int id, int notification);
    bool OnSysCommand(WPARAM command, LPARAM parameter);
    void OnEraseBackground(HDC dc);
    void OnPaint();
    // Repaints the dialog's background under a label and then the label over it.
    void RedrawUnderLabel(const SControl& control);
    void ReportCreationFailure();
    // False once the dialog is ending or going: no more reports to it.
    bool IsReporting() const { return m_window != nullptr && !m_destroying; }

    CWin32Backend& m_backend;
    CDialog& m_dialog;
    const SDialogTemplate& m_template;
    CWin32DialogWindow* m_parent;
    HWND m_window = nullptr;
    std::vector<SControl> m_controls;
    CWin32IconCache m_icons;
    // The background picture as last drawn, reused while it does not change.
    CWin32PaletteImage m_paletteImage;
    bool m_modal = false;
    bool m_ending = false;
    bool m_destroying = false;
    int m_result = 0;
};
