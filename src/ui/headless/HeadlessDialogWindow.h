#pragma once

#include "ui/DialogTemplate.h"
#include "ui/DialogWindow.h"
#include "ui/headless/HeadlessBackend.h"
#include "ui/headless/HeadlessPaintContext.h"
#include "ui/headless/PaintOperation.h"

#include <map>
#include <string>
#include <vector>

class CDialog;

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
    // Stands for the one dialog font; only its identity matters.
    static constexpr const char* DialogFontTag = "dialog font";

    CHeadlessDialogWindow(CHeadlessBackend& backend, CDialog& dialog, const SDialogTemplate& dialogTemplate);
    ~CHeadlessDialogWindow() override;

    // The operator's actions. Each returns false when the action cannot happen (for example a
    // click on a disabled control), in which case nothing is delivered.
    bool Click(int id);
    // Moves the focus to the edit field (as a click into it would) and replaces its text.
    bool Type(int id, const std::string& text);
    // Moves the focus to the control (Tab key or mouse); an edit field that loses it reports so.
    bool MoveFocus(int id);
    void PressEscape() { RouteEscape(); }
    void PressEnter();
    void PressClose() { RouteCloseBox(); }
    bool ChooseSystemMenuItem(unsigned id);
    // One tick of every running timer, in id order; returns how many ticks were delivered.
    int Tick();
    void SetMinimised(bool minimised) { m_minimised = minimised; }
    // Paints the whole dialog as the backend would and returns what was drawn: the dialog's
    // background and paint, then each subclassed label's background and paint.
    std::vector<SPaintOperation> Paint();
    // Paints once if something was invalidated since the last paint, as a toolkit's loop does.
    void PaintIfInvalid();

    // Control state by id.
    std::string GetText(int id) const { return Known(id) ? GetControlText(FindControl(id)) : std::string(); }
    bool IsEnabled(int id) const { return Known(id) && IsControlEnabled(FindControl(id)); }
    bool IsChecked(int id) const { return Known(id) && IsControlChecked(FindControl(id)); }
    // The id of the focused control, or 0 when the focus is nowhere.
    int GetFocusId() const { return m_focus >= 0 ? GetControlTemplate(m_focus).id : 0; }
    int GetProgressLower(int id) const { return Known(id) ? GetProgress(FindControl(id)).lower : 0; }
    int GetProgressUpper(int id) const { return Known(id) ? GetProgress(FindControl(id)).upper : 0; }
    int GetProgressPosition(int id) const { return Known(id) ? GetProgress(FindControl(id)).position : 0; }
    bool IsSubclassed(int id) const { return Known(id) && GetSubclassedLabel(FindControl(id)) != nullptr; }
    // Interval of a running timer, 0 when it is not running.
    unsigned GetTimerInterval(unsigned id) const;
    const SIconResource* GetIcon(bool big) const { return big ? m_bigIcon : m_smallIcon; }

    // CDialogWindow
    bool Create() override;
    int RunModal() override;
    std::string GetCaption() const override { return m_caption; }
    void SetCaption(const std::string& caption) override { m_caption = caption; }
    bool IsControlEnabled(int index) const override { return m_state[index].enabled; }
    // -1 leaves the focus nowhere.
    void SetFocusControl(int index) override;
    SFontHandle GetControlFont(int) const override { return SFontHandle{DialogFontTag}; }
    void InvalidateControl(int) override { m_invalid = true; }
    SRect GetWindowRect() const override;
    SRect GetClientRect() const override;
    SRgbColour GetSystemColour(ESystemColour colour) const override
    {
        return m_backend.GetSystemColour(colour);
    }
    bool IsMinimised() const override { return m_minimised; }
    int GetSystemIconWidth() const override { return CHeadlessPaintContext::SystemIconSize; }
    int GetSystemIconHeight() const override { return CHeadlessPaintContext::SystemIconSize; }
    void SetIcon(const SIconResource& icon, bool big) override { (big ? m_bigIcon : m_smallIcon) = &icon; }
    void Invalidate() override { m_invalid = true; }
    bool StartTimer(unsigned id, unsigned intervalMilliseconds) override;
    bool StopTimer(unsigned id) override { return m_timers.erase(id) > 0; }

private:
    struct SState
    {
        std::string text;
        bool enabled = true;
        bool checked = false;
    };

    void EndNative(int) override {}
    std::string GetNativeText(int index) const override { return m_state[index].text; }
    void SetNativeText(int index, const std::string& text) override { m_state[index].text = text; }
    void EnableNative(int index, bool enable) override { m_state[index].enabled = enable; }
    bool IsNativeChecked(int index) const override { return m_state[index].checked; }
    void CheckNative(int index, bool checked) override { m_state[index].checked = checked; }
    bool HasNativeFocus(int index) const override { return index == m_focus; }
    void ShowProgress(int, const SProgress&) override {}
    void SubclassNative(int, bool) override {}

    // False after reporting an unknown id as a failure.
    bool Known(int id) const;
    // The index of an enabled control, else -1 (reporting an unknown id).
    int EnabledIndex(int id) const;
    static int DialogUnitsToPixels(int units, int baseUnit, int divisor);

    CHeadlessBackend& m_backend;
    std::string m_caption;
    std::vector<SState> m_state;
    int m_focus = -1;
    std::map<unsigned, unsigned> m_timers;
    const SIconResource* m_bigIcon = nullptr;
    const SIconResource* m_smallIcon = nullptr;
    bool m_created = false;
    bool m_minimised = false;
    bool m_invalid = false;
};
