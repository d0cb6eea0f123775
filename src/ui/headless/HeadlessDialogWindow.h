#pragma once

#include "ui/DialogTemplate.h"
#include "ui/DialogWindow.h"
#include "ui/headless/PaintOperation.h"

#include <map>
#include <string>
#include <vector>

class CDialog;
class CHeadlessBackend;

// A dialog window without a screen: every control's state lives in memory. Tests act as the
// operator through the user actions below and read the controls back; unknown control ids are
// reported to the backend's failure handler.
class CHeadlessDialogWindow : public CDialogWindow
{
public:
    // Dialog-unit conversion of the template's font ("MS Sans Serif" 8 point).
    static constexpr int BaseUnitX = 6;
    static constexpr int BaseUnitY = 13;
    // Frame and caption around the client area.
    static constexpr int FrameWidth = 3;
    static constexpr int CaptionHeight = 19;

    struct SSystemMenuItem
    {
        // 0 for a separator.
        unsigned id;
        std::string text;
    };

    CHeadlessDialogWindow(CHeadlessBackend& backend, CDialog& dialog, const SDialogTemplate& dialogTemplate);
    ~CHeadlessDialogWindow() override;

    CDialog& GetDialog() const { return m_dialog; }
    bool IsEnded() const { return m_ended; }
    int GetResult() const { return m_result; }

    // The operator's actions. Each returns false when the action cannot happen (for example a
    // click on a disabled control), in which case nothing is delivered.
    bool Click(int id);
    // Moves the focus to the edit field (as a click into it would) and replaces its text.
    bool Type(int id, const std::string& text);
    // Moves the focus to the control (Tab key or mouse); an edit field that loses it reports so.
    bool MoveFocus(int id);
    // The cancel command, wherever the focus is (also nowhere).
    void PressEscape();
    // Presses the focused push button, or else the default button.
    void PressEnter();
    void PressClose();
    bool ChooseSystemMenuItem(unsigned id);
    // One tick of every running timer, in id order; returns how many ticks were delivered.
    int Tick();
    void SetMinimised(bool minimised) { m_minimised = minimised; }
    // Paints the whole dialog as the backend would and returns what was drawn: the dialog's
    // background and paint, then each subclassed label's background and paint.
    std::vector<SPaintOperation> Paint();

    // Control state by id.
    std::string GetText(int id) const;
    bool IsEnabled(int id) const;
    bool IsChecked(int id) const;
    // The id of the focused control, or 0 when the focus is nowhere.
    int GetFocusId() const;
    int GetProgressLower(int id) const;
    int GetProgressUpper(int id) const;
    int GetProgressPosition(int id) const;
    bool IsSubclassed(int id) const;
    const std::vector<SSystemMenuItem>& GetSystemMenu() const { return m_systemMenu; }
    // Interval of a running timer, 0 when it is not running.
    unsigned GetTimerInterval(unsigned id) const;
    const SIconResource* GetIcon(bool big) const { return big ? m_bigIcon : m_smallIcon; }

    // CDialogWindow
    bool Create() override;
    int RunModal() override;
    void EndModal(int result) override;
    std::string GetCaption() const override { return m_caption; }
    void SetCaption(const std::string& caption) override { m_caption = caption; }
    int GetControlCount() const override { return static_cast<int>(m_controls.size()); }
    int FindControl(int id) const override;
    const SControlTemplate& GetControlTemplate(int index) const override
    {
        return m_controls[index].definition;
    }
    std::string GetControlText(int index) const override { return m_controls[index].text; }
    void SetControlText(int index, const std::string& text) override { m_controls[index].text = text; }
    bool IsControlEnabled(int index) const override { return m_controls[index].enabled; }
    // Disabling the focused control moves the focus on first, as a dialog manager does.
    void EnableControl(int index, bool enable) override;
    bool IsControlChecked(int index) const override { return m_controls[index].checked; }
    void CheckControl(int index, bool checked) override { m_controls[index].checked = checked; }
    int GetFocusControl() const override { return m_focus; }
    // -1 leaves the focus nowhere.
    void SetFocusControl(int index) override;
    void SetProgressRange(int index, int lower, int upper) override;
    void SetProgressPosition(int index, int position) override;
    SRect GetControlRect(int index) const override { return m_controls[index].rect; }
    SFontHandle GetControlFont(int index) const override;
    void SubclassLabel(int index, CStatic* label) override { m_controls[index].label = label; }
    void InvalidateControl(int) override {}
    SRect GetWindowRect() const override;
    SRect GetClientRect() const override;
    SRgbColour GetSystemColour(ESystemColour colour) const override;
    bool IsMinimised() const override { return m_minimised; }
    int GetSystemIconWidth() const override;
    int GetSystemIconHeight() const override;
    void SetIcon(const SIconResource& icon, bool big) override;
    void Invalidate() override {}
    bool StartTimer(unsigned id, unsigned intervalMilliseconds) override;
    bool StopTimer(unsigned id) override;
    bool HasSystemMenu() const override;
    void AppendSystemMenuItem(unsigned id, const std::string& text) override;

private:
    struct SControl
    {
        SControlTemplate definition;
        std::string text;
        bool enabled = true;
        bool checked = false;
        int progressLower = 0;
        int progressUpper = 100;
        int progressPosition = 0;
        SRect rect;
        CStatic* label = nullptr;
    };

    // The index of the control, or -1 after reporting the unknown id as a failure.
    int RequireControl(int id) const;
    int DefaultButtonId() const;
    static int DialogUnitsToPixels(int units, int baseUnit, int divisor);

    CHeadlessBackend& m_backend;
    CDialog& m_dialog;
    const SDialogTemplate& m_template;
    std::string m_caption;
    std::vector<SControl> m_controls;
    int m_focus = -1;
    std::map<unsigned, unsigned> m_timers;
    std::vector<SSystemMenuItem> m_systemMenu;
    const SIconResource* m_bigIcon = nullptr;
    const SIconResource* m_smallIcon = nullptr;
    bool m_created = false;
    bool m_ended = false;
    bool m_minimised = false;
    int m_result = 0;
};
