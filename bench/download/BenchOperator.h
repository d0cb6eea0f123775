#pragma once

#include "ProcessUsage.h"
#include "ResultRecord.h"

#include <string>

#include <wx/timer.h>

class CBenchDialog;
class CBoxRefusal;
class CTimedFileStore;
class wxWindow;

// Plays the operator of one measurement with one-shot timers only, so that it adds no wake-ups
// of its own while the dialog is measured. A download: fill in the fields (only the first package
// ticked), click Download, and once the file is saved report the figures. Idle: let the dialog
// settle, then report what it used over the idle period.
class CBenchOperator : public wxTimer
{
public:
    struct SSettings
    {
        std::string folder;
        std::string password;
        long long expectedSize = 0;
        // Above 0: measure the idle dialog for this long instead of downloading.
        int idleSeconds = 0;
        int idleSettleSeconds = 2;
        int timeoutSeconds = 120;
    };

    CBenchOperator(CBenchDialog& dialog, const CTimedFileStore& store, CBoxRefusal& boxes,
                   SSettings settings);

    void Begin();
    void Notify() override;
    bool Succeeded() const { return m_succeeded; }

private:
    enum class EStep
    {
        FillIn,
        Click,
        AwaitSave,
        Report,
        IdleStart,
        IdleEnd,
    };

    wxWindow* DownloadButton() const;
    void FillIn();
    void Click();
    void ReportDownload();
    void ReportIdle();
    void Fail(const std::string& reason);
    void Finish();

    CBenchDialog& m_dialog;
    const CTimedFileStore& m_store;
    CBoxRefusal& m_boxes;
    SSettings m_settings;
    EStep m_step = EStep::FillIn;
    bool m_succeeded = false;
    std::string m_failure;
    CResultRecord m_result;
    SProcessUsage m_idleStart;
    size_t m_idleStartTicks = 0;
};
