#pragma once

#include "ui/DialogTemplate.h"
#include "ui/DialogWindow.h"
#include "ui/wx/WxPaletteImage.h"

#include <wx/dialog.h>
#include <wx/font.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

class CDialog;
class CWxKeyboardHolder;
class CWxWindowTimer;
class wxCloseEvent;
class wxContextMenuEvent;
class wxFocusEvent;
class wxKeyEvent;
class wxPaintEvent;

// A dialog window made of native toolkit controls, built from the dialog's template. Subclassed
// labels have no native window: the dialog paints them itself over its background picture.
// The system menu, which the toolkit lacks, is offered as the dialog's context menu.
class CWxDialogWindow : public CDialogWindow
{
public:
    CWxDialogWindow(CDialog& dialog, const SDialogTemplate& dialogTemplate, CWxDialogWindow* parent);
    ~CWxDialogWindow() override;

    // Null until the window is created.
    wxDialog* GetNativeDialog() const { return m_native; }
    // The native control, or null (for a subclassed label, or an index out of range).
    wxWindow* GetControlWindow(int index) const;
    // How often the background picture was converted for drawing (for tests).
    unsigned GetBackgroundConversionCount() const { return m_paletteImage.ConversionCount(); }

    bool Create() override;
    int RunModal() override;
    std::string GetCaption() const override;
    void SetCaption(const std::string& caption) override;
    bool IsControlEnabled(int index) const override;
    // -1: no control keeps the focus, but a keyboard holder does, so that keys reach the dialog
    // (GTK hands none to a dialog whose focus is nowhere).
    void SetFocusControl(int index) override;
    SFontHandle GetControlFont(int) const override { return SFontHandle{&m_font}; }
    void InvalidateControl(int index) override;
    SRect GetWindowRect() const override;
    SRect GetClientRect() const override;
    SRgbColour GetSystemColour(ESystemColour colour) const override;
    bool IsMinimised() const override { return m_native != nullptr && m_native->IsIconized(); }
    int GetSystemIconWidth() const override;
    int GetSystemIconHeight() const override;
    void SetIcon(const SIconResource& icon, bool big) override;
    void Invalidate() override;
    bool StartTimer(unsigned id, unsigned intervalMilliseconds) override;
    bool StopTimer(unsigned id) override;

private:
    struct SNative
    {
        wxWindow* window = nullptr;
        // Text and state of a subclassed label, which has no native window.
        std::string text;
        bool enabled = true;
    };

    void EndNative(int result) override;
    std::string GetNativeText(int index) const override;
    void SetNativeText(int index, const std::string& text) override;
    void EnableNative(int index, bool enable) override;
    bool IsNativeChecked(int index) const override;
    void CheckNative(int index, bool checked) override;
    bool HasNativeFocus(int index) const override;
    void ShowProgress(int index, const SProgress& progress) override;
    void SubclassNative(int index, bool subclassed) override;

    // Builds the window and its controls and runs the dialog's initialisation, once.
    bool Build();
    wxWindow* CreateControlWindow(int index);
    void RefreshControlArea(int index);

    void OnPaint(wxPaintEvent& event);
    void OnCharHook(wxKeyEvent& event);
    void OnClose(wxCloseEvent& event);
    void OnContextMenu(wxContextMenuEvent& event);
    void OnEditKillFocus(wxFocusEvent& event);
    void ReportFocusLost();

    CWxDialogWindow* m_parent;
    wxDialog* m_native = nullptr;
    // Holds the focus while no control has it (a child of m_native).
    CWxKeyboardHolder* m_keyboardHolder = nullptr;
    wxFont m_font;
    // The background picture as last drawn, reused while it does not change.
    CWxPaletteImage m_paletteImage;
    std::vector<SNative> m_natives;
    // Edit fields whose loss of the focus is still to be reported.
    std::vector<int> m_focusLost;
    std::map<unsigned, std::unique_ptr<CWxWindowTimer>> m_timers;
    std::vector<std::unique_ptr<CWxWindowTimer>> m_stoppedTimers;
    bool m_built = false;
};
