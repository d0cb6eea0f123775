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
class wxDC;
class wxFocusEvent;
class wxKeyEvent;
class wxPaintEvent;
class wxRegion;

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
    bool IsControlChecked(int index) const override;
    void CheckControl(int index, bool checked) override;
    int GetFocusControl() const override;
    // -1: no control keeps the focus, but the keys still reach the dialog.
    void SetFocusControl(int index) override;
    // Moves the focus on first when the control has it.
    void EnableControl(int index, bool enable) override;
    void SetProgressRange(int index, int lower, int upper) override;
    void SetProgressPosition(int index, int position) override;
    SRect GetControlRect(int index) const override { return m_controls[index].rect; }
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
        wxWindow* window = nullptr;
        // The text of a subclassed label, which has no native window.
        std::string text;
        bool enabled = true;
        int progressLower = 0;
        int progressUpper = 100;
        int progressPosition = 0;
        SRect rect;
        CStatic* label = nullptr;
    };

    struct SMenuItem
    {
        unsigned id;
        std::string text;
    };

    // Builds the window and its controls and runs the dialog's initialisation, once.
    bool Build();
    wxWindow* CreateControlWindow(const SControl& control);
    int DefaultButtonId() const;
    void FocusFirstTabStop();

    void OnPaint(wxPaintEvent& event);
    void OnCommandEvent(wxCommandEvent& event);
    void OnCharHook(wxKeyEvent& event);
    void OnClose(wxCloseEvent& event);
    void OnContextMenu(wxContextMenuEvent& event);
    void OnEditKillFocus(wxFocusEvent& event);
    // Labels outside `update` are not painted.
    void PaintDialog(wxDC& dc, const wxRegion& update);

    CDialog& m_dialog;
    const SDialogTemplate& m_template;
    CWxDialogWindow* m_parent;
    wxDialog* m_native = nullptr;
    // Holds the focus while no control has it (a child of m_native).
    CWxKeyboardHolder* m_keyboardHolder = nullptr;
    wxFont m_font;
    // The background picture as last drawn, reused while it does not change.
    CWxPaletteImage m_paletteImage;
    std::vector<SControl> m_controls;
    std::map<unsigned, std::unique_ptr<CWxWindowTimer>> m_timers;
    std::vector<std::unique_ptr<CWxWindowTimer>> m_stoppedTimers;
    std::vector<SMenuItem> m_systemMenu;
    bool m_built = false;
    bool m_ending = false;
    int m_result = 0;
};
