#pragma once

#include "support/RgbColour.h"
#include "ui/ControlTemplate.h"
#include "ui/FontHandle.h"
#include "ui/Rect.h"
#include "ui/SystemColour.h"

#include <string>

class CStatic;
struct SIconResource;

// The window of one dialog as a backend builds it from the dialog's template. The dialog talks to
// its window only through this interface; the window reports messages back through the dialog's
// Handle... operations. Controls are addressed by their index in template order.
class CDialogWindow
{
public:
    virtual ~CDialogWindow() = default;

    // Builds the window and its controls and runs the dialog's initialisation. False when the
    // window cannot be made.
    virtual bool Create() = 0;
    // Creates the window if needed, then runs a modal loop until EndModal; returns its result,
    // or -1 when the window cannot be made.
    virtual int RunModal() = 0;
    virtual void EndModal(int result) = 0;

    virtual std::string GetCaption() const = 0;
    virtual void SetCaption(const std::string& caption) = 0;

    virtual int GetControlCount() const = 0;
    // The first control with this id, or -1.
    virtual int FindControl(int id) const = 0;
    virtual const SControlTemplate& GetControlTemplate(int index) const = 0;
    virtual std::string GetControlText(int index) const = 0;
    virtual void SetControlText(int index, const std::string& text) = 0;
    virtual bool IsControlEnabled(int index) const = 0;
    // Disabling the control that has the focus moves the focus to the next enabled tab stop
    // (CTabOrder), or nowhere when there is none.
    virtual void EnableControl(int index, bool enable) = 0;
    virtual bool IsControlChecked(int index) const = 0;
    virtual void CheckControl(int index, bool checked) = 0;
    // The index of the control with the input focus, or -1.
    virtual int GetFocusControl() const = 0;
    // -1 takes the focus off every control. Wherever the focus is, also nowhere, Escape and Enter
    // reach the dialog.
    virtual void SetFocusControl(int index) = 0;
    virtual void SetProgressRange(int index, int lower, int upper) = 0;
    virtual void SetProgressPosition(int index, int position) = 0;
    // The control's rectangle in the dialog's client coordinates.
    virtual SRect GetControlRect(int index) const = 0;
    virtual SFontHandle GetControlFont(int index) const = 0;
    // From now on the label erases and paints through `label`; null returns it to plain painting.
    virtual void SubclassLabel(int index, CStatic* label) = 0;
    virtual void InvalidateControl(int index) = 0;

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

    virtual bool HasSystemMenu() const = 0;
    // A separator when `text` is empty.
    virtual void AppendSystemMenuItem(unsigned id, const std::string& text) = 0;
};
