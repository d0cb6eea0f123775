#pragma once

#include "support/RgbColour.h"
#include "ui/ControlTemplate.h"
#include "ui/FontHandle.h"
#include "ui/Rect.h"
#include "ui/SystemColour.h"

#include <string>
#include <vector>

class CDialog;
class CPaintContext;
class CStatic;
struct SDialogTemplate;
struct SIconResource;

// The window of one dialog as a backend builds it from the dialog's template. The dialog talks to
// its window only through this class; the window reports messages back through the dialog's
// Handle... operations. Controls are addressed by their index in template order.
//
// The rules every backend follows are kept here once: the control table and its lookup, which
// control kinds have text, checks and progress, the default button, where Escape, Enter and the
// close box go, where the focus goes from a control being disabled, the first focus, the paint
// order and the icon of an icon control. A backend implements the calls that reach its toolkit.
class CDialogWindow
{
public:
    struct SSystemMenuItem
    {
        // 0 for a separator.
        unsigned id;
        std::string text;
    };
    struct SProgress
    {
        int lower = 0;
        int upper = 100;
        int position = 0;
    };

    CDialogWindow(CDialog& dialog, const SDialogTemplate& dialogTemplate);
    CDialogWindow(const CDialogWindow&) = delete;
    CDialogWindow& operator=(const CDialogWindow&) = delete;
    virtual ~CDialogWindow();

    CDialog& GetDialog() const { return m_dialog; }

    // Builds the window and its controls and runs the dialog's initialisation. False when the
    // window cannot be made.
    virtual bool Create() = 0;
    // Creates the window if needed, then runs a modal loop until EndModal; returns its result,
    // or -1 when the window cannot be made.
    virtual int RunModal() = 0;
    // Ends the modal loop, or hides a window made by Create.
    void EndModal(int result);
    bool IsEnded() const { return m_ended; }
    int GetResult() const { return m_result; }

    virtual std::string GetCaption() const = 0;
    virtual void SetCaption(const std::string& caption) = 0;

    int GetControlCount() const { return static_cast<int>(m_controls.size()); }
    // The first control with this id, or -1.
    int FindControl(int id) const;
    const SControlTemplate& GetControlTemplate(int index) const { return m_controls[index].definition; }
    // In the dialog's client coordinates.
    SRect GetControlRect(int index) const { return m_controls[index].rect; }
    // Progress bars and icons have no text.
    std::string GetControlText(int index) const;
    void SetControlText(int index, const std::string& text);
    virtual bool IsControlEnabled(int index) const = 0;
    // Disabling the control that has the focus moves the focus first to the next enabled tab stop
    // (CTabOrder), or nowhere when there is none.
    void EnableControl(int index, bool enable);
    // Only check boxes are checked.
    bool IsControlChecked(int index) const;
    void CheckControl(int index, bool checked);
    // The index of the control with the input focus, or -1.
    int GetFocusControl() const;
    // -1 takes the focus off every control. Wherever the focus is, also nowhere, Escape and Enter
    // reach the dialog.
    virtual void SetFocusControl(int index) = 0;
    // Only progress bars have a range: a range whose upper bound lies below its lower one is
    // refused, and the position is kept inside the range.
    void SetProgressRange(int index, int lower, int upper);
    void SetProgressPosition(int index, int position);
    const SProgress& GetProgress(int index) const { return m_controls[index].progress; }
    virtual SFontHandle GetControlFont(int index) const = 0;
    // From now on the label erases and paints through `label`; null returns it to plain painting.
    void SubclassLabel(int index, CStatic* label);
    CStatic* GetSubclassedLabel(int index) const { return m_controls[index].label; }
    virtual void InvalidateControl(int index) = 0;
    // What an icon control shows: the icon resource its template text names; null for others.
    const SIconResource* GetControlIcon(int index) const;

    // The whole window, frame and caption included, in screen coordinates.
    virtual SRect GetWindowRect() const = 0;
    virtual SRect GetClientRect() const = 0;
    virtual SRgbColour GetSystemColour(ESystemColour colour) const = 0;
    virtual bool IsMinimised() const = 0;
    virtual int GetSystemIconWidth() const = 0;
    virtual int GetSystemIconHeight() const = 0;
    virtual void SetIcon(const SIconResource& icon, bool big) = 0;
    virtual void Invalidate() = 0;

    // False when the timer cannot be started.
    virtual bool StartTimer(unsigned id, unsigned intervalMilliseconds) = 0;
    virtual bool StopTimer(unsigned id) = 0;

    // By the template's style, the entries kept in GetSystemMenu; a toolkit with a real system
    // menu answers itself.
    virtual bool HasSystemMenu() const;
    // A separator when `text` is empty.
    virtual void AppendSystemMenuItem(unsigned id, const std::string& text);
    const std::vector<SSystemMenuItem>& GetSystemMenu() const { return m_systemMenu; }

protected:
    // What the toolkit reports, turned into the dialog's messages.

    // The dialog's initialisation; unless it chose a focus of its own (returning false), the
    // first enabled tab stop takes the focus. Returns what the dialog returned.
    bool InitDialog();
    // Escape is the cancel command, wherever the focus is.
    void RouteEscape();
    // False when a push button has the focus: it takes Enter itself. Elsewhere Enter clicks the
    // default button, or IdOk when the template has none.
    bool RouteEnter();
    // The close box is the system command close; the dialog decides whether to close.
    void RouteCloseBox();
    // An edit field lost the focus; leaving it as the dialog ends is not the operator's doing.
    void RouteFocusLost(int index);
    // The dialog's own erase, or the button face where it erases nothing.
    void EraseDialog(CPaintContext& dc);
    // Erase, then the dialog's paint; the subclassed labels come after it, each with PaintLabel.
    void PaintDialog(CPaintContext& dc);
    void PaintLabel(int index, CPaintContext& dc);
    void SetControlRect(int index, const SRect& rect) { m_controls[index].rect = rect; }
    // No more reports to the dialog: the window goes.
    void MarkEnded() { m_ended = true; }

    // The calls that reach the toolkit.
    virtual void EndNative(int result) = 0;
    virtual std::string GetNativeText(int index) const = 0;
    virtual void SetNativeText(int index, const std::string& text) = 0;
    virtual void EnableNative(int index, bool enable) = 0;
    virtual bool IsNativeChecked(int index) const = 0;
    virtual void CheckNative(int index, bool checked) = 0;
    // The focus is on the control or inside it.
    virtual bool HasNativeFocus(int index) const = 0;
    virtual void ShowProgress(int index, const SProgress& progress) = 0;
    // The label starts (or stops) painting through its CStatic.
    virtual void SubclassNative(int index, bool subclassed) = 0;

    CDialog& m_dialog;
    const SDialogTemplate& m_template;

private:
    struct SControl
    {
        SControlTemplate definition;
        SRect rect;
        SProgress progress;
        CStatic* label = nullptr;
    };

    int DefaultButtonId() const;

    std::vector<SControl> m_controls;
    std::vector<SSystemMenuItem> m_systemMenu;
    bool m_ended = false;
    int m_result = 0;
};
