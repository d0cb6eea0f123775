#pragma once

#include "ui/FontHandle.h"
#include "ui/Rect.h"

#include <string>

class CDialog;
class CPaintContext;

// A label control of a dialog. Bound to its window by the dialog's DoDataExchange; from then on
// the label erases and paints itself, and derived classes may change how.
class CStatic
{
public:
    CStatic() = default;
    CStatic(const CStatic&) = delete;
    CStatic& operator=(const CStatic&) = delete;
    virtual ~CStatic();

    bool IsBound() const { return m_dialog != nullptr; }
    int GetDlgCtrlID() const;
    std::string GetWindowText() const;
    SFontHandle GetFont() const;
    // (0, 0, width, height) of the label.
    SRect GetClientRect() const;

    // Entry points for the backend while it paints the label.
    bool HandleEraseBackground(CPaintContext& dc) { return OnEraseBkgnd(dc); }
    void HandlePaint(CPaintContext& dc) { OnPaint(dc); }

protected:
    // Fills the label with the button face colour; true: the background is erased.
    virtual bool OnEraseBkgnd(CPaintContext& dc);
    // Draws the text over the button face colour.
    virtual void OnPaint(CPaintContext& dc);

private:
    friend class CDialog;
    void Attach(CDialog& dialog, int index);
    void Detach();

    CDialog* m_dialog = nullptr;
    int m_index = -1;
};
