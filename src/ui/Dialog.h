#pragma once

#include "support/RgbColour.h"
#include "ui/CommandCode.h"
#include "ui/FolderChoice.h"
#include "ui/MessageBoxTypes.h"
#include "ui/Rect.h"
#include "ui/SystemColour.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class CDialogWindow;
class CPaintContext;
class CResourceTable;
class CStatic;
struct SDialogTemplate;
struct SIconResource;

// A dialog built from a template of the application's resources. Runs modally (DoModal) or, for
// tests and tools, without a loop of its own (Create). Derived dialogs override the On...
// handlers; the window of the current backend calls the Handle... entry points.
//
// Control operations address controls by id and do nothing (or return an empty value) while the
// dialog has no window.
class CDialog
{
public:
    CDialog(const CResourceTable& resources, int templateId, CDialog* parent = nullptr);
    CDialog(const CDialog&) = delete;
    CDialog& operator=(const CDialog&) = delete;
    virtual ~CDialog();

    // Runs the dialog modally; the result passed to EndDialog, or -1 when the dialog could not
    // be shown (no backend, no such template).
    int DoModal();
    // Makes the window and runs OnInitDialog without entering a loop.
    bool Create();
    void DestroyWindow();
    void EndDialog(int result);
    CDialogWindow* GetWindow() const { return m_window.get(); }
    const CResourceTable& GetResources() const { return m_resources; }

    // Window messages, delivered by the backend.
    bool HandleInitDialog();
    void HandleCommand(int id, ECommandCode code);
    void HandleSysCommand(unsigned id, long parameter);
    void HandleTimer(unsigned id);
    bool HandleEraseBackground(CPaintContext& dc) { return OnEraseBkgnd(dc); }
    void HandlePaint(CPaintContext& dc) { OnPaint(dc); }
    const SIconResource* HandleQueryDragIcon() { return OnQueryDragIcon(); }

    std::string GetWindowText() const;
    void SetWindowText(const std::string& text);
    std::string GetDlgItemText(int id) const;
    void SetDlgItemText(int id, const std::string& text);
    bool IsDlgItemEnabled(int id) const;
    void EnableDlgItem(int id, bool enable);
    bool IsDlgButtonChecked(int id) const;
    void CheckDlgButton(int id, bool checked);
    // The id of the control with the focus, or 0.
    int GetFocusId() const;
    void GotoDlgCtrl(int id);
    void SetProgressRange(int id, int lower, int upper);
    void SetProgressPos(int id, int position);

    // Every control in template order, by index; stops early when `visit` returns false.
    // True when it ran to its end.
    bool EnumChildWindows(const std::function<bool(int childIndex)>& visit) const;
    int GetChildId(int childIndex) const;
    std::string GetChildClassName(int childIndex) const;
    std::string GetChildText(int childIndex) const;
    void SetChildText(int childIndex, const std::string& text);

    SRect GetWindowRect() const;
    SRect GetClientRect() const;
    SRgbColour GetSysColor(ESystemColour colour) const;
    bool IsIconic() const;
    int GetSystemIconWidth() const;
    int GetSystemIconHeight() const;
    void SetIcon(const SIconResource* icon, bool big);
    void Invalidate();
    // Fills the client area the way the window class erases it when minimised.
    void SendIconEraseBackground(CPaintContext& dc);

    // Starts a window timer; non-zero on success. OnTimer receives `id` on every tick.
    unsigned SetTimer(unsigned id, unsigned intervalMilliseconds);
    bool KillTimer(unsigned id);

    bool HasSystemMenu() const;
    void AppendSystemMenuSeparator();
    void AppendSystemMenuItem(unsigned id, const std::string& text);

    const char* LoadString(int id) const;
    const SIconResource* LoadIcon(int id) const;

    // A modal message box titled with the application's title; timers keep ticking meanwhile.
    EMessageBoxResult MessageBox(const std::string& text, EMessageBoxIcon icon, EMessageBoxButtons buttons);
    SFolderChoice ChooseFolder(const std::string& title);
    // Waits while `busy` holds, at most `maxMilliseconds`, without freezing the window: timers
    // keep ticking (so re-entrancy guards matter, as under a message box) and it repaints.
    void WaitWhile(const std::function<bool()>& busy, unsigned maxMilliseconds);

    // Called by a bound CStatic that goes away before the window.
    void UnbindControl(CStatic& control);

protected:
    // Binds the controls (DoDataExchange); true lets the framework set the initial focus.
    virtual bool OnInitDialog();
    virtual void DoDataExchange();
    // Clicks on IdOk and IdCancel go to OnOK and OnCancel. True when the command was handled.
    virtual bool OnCommand(int id, ECommandCode code);
    virtual void OnOK();
    virtual void OnCancel();
    // The close box becomes the cancel command; other system commands are the toolkit's.
    virtual void OnSysCommand(unsigned id, long parameter);
    virtual void OnTimer(unsigned id);
    virtual void OnPaint(CPaintContext& dc);
    // False: the backend fills the background with the button face colour.
    virtual bool OnEraseBkgnd(CPaintContext& dc);
    virtual const SIconResource* OnQueryDragIcon();

    // Makes `control` paint label `id` (the DDX_Control of a label).
    void BindControl(int id, CStatic& control);

private:
    int ControlIndex(int id) const;
    bool IsChildIndex(int childIndex) const;
    void DetachBoundControls();

    const CResourceTable& m_resources;
    const SDialogTemplate* m_template;
    CDialog* m_parent;
    std::unique_ptr<CDialogWindow> m_window;
    std::vector<CStatic*> m_boundControls;
};
