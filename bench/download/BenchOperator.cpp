#include "BenchOperator.h"

#include "BenchDialog.h"
#include "BoxRefusal.h"
#include "ProcessUsage.h"
#include "TimedFileStore.h"
#include "app/Resources.h"
#include "ui/StandardIds.h"
#include "ui/wx/WxDialogWindow.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace
{

constexpr int WindowSettleMilliseconds = 1500;
constexpr int RetryMilliseconds = 200;
constexpr int BeforeClickMilliseconds = 500;
constexpr int ReportDelayMilliseconds = 100;

// The nearest-rank percentile of the values.
double Percentile(std::vector<double> values, double percent)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    size_t rank = static_cast<size_t>(percent / 100.0 * static_cast<double>(values.size()) + 0.999999);
    rank = std::clamp<size_t>(rank, 1, values.size());
    return values[rank - 1];
}

} // namespace

CBenchOperator::CBenchOperator(CBenchDialog& dialog, const CTimedFileStore& store, CBoxRefusal& boxes,
                               SSettings settings)
    : m_dialog(dialog), m_store(store), m_boxes(boxes), m_settings(std::move(settings))
{
}

void CBenchOperator::Begin()
{
    m_boxes.SetUnexpectedHandler([this](const std::string& text) { Fail("message box: " + text); });
    m_dialog.SetSavedHandler(
        [this]
        {
            m_step = EStep::Report;
            StartOnce(ReportDelayMilliseconds);
        });
    if (m_settings.idleSeconds > 0)
    {
        m_step = EStep::IdleStart;
        StartOnce(m_settings.idleSettleSeconds * 1000);
        return;
    }
    m_step = EStep::FillIn;
    StartOnce(WindowSettleMilliseconds);
}

void CBenchOperator::Notify()
{
    switch (m_step)
    {
    case EStep::FillIn:
        FillIn();
        break;
    case EStep::Click:
        Click();
        break;
    case EStep::AwaitSave:
        Fail("no file saved within " + std::to_string(m_settings.timeoutSeconds) + " s");
        break;
    case EStep::Report:
        ReportDownload();
        break;
    case EStep::IdleStart:
        m_idleStart = SProcessUsage::Now();
        m_idleStartTicks = m_dialog.TickTimes().size();
        m_step = EStep::IdleEnd;
        StartOnce(m_settings.idleSeconds * 1000);
        break;
    case EStep::IdleEnd:
        ReportIdle();
        break;
    }
}

wxWindow* CBenchOperator::DownloadButton() const
{
    auto* window = dynamic_cast<CWxDialogWindow*>(m_dialog.GetWindow());
    return window != nullptr ? window->GetControlWindow(window->FindControl(IDC_DOWNLOAD)) : nullptr;
}

void CBenchOperator::FillIn()
{
    wxWindow* download = DownloadButton();
    if (download == nullptr || !download->IsShownOnScreen())
    {
        StartOnce(RetryMilliseconds);
        return;
    }
    m_dialog.SetDlgItemText(IDC_RECORDER_ADDRESS, "127.0.0.1");
    m_dialog.SetDlgItemText(IDC_PASSWORD, m_settings.password);
    m_dialog.SetDlgItemText(IDC_TEMP_DIRECTORY, m_settings.folder);
    m_dialog.CheckDlgButton(IDC_VARNOX, true);
    m_dialog.CheckDlgButton(IDC_KELLID, false);
    m_step = EStep::Click;
    StartOnce(BeforeClickMilliseconds);
}

void CBenchOperator::Click()
{
    wxWindow* button = DownloadButton();
    if (button == nullptr)
    {
        Fail("the Download button is gone");
        return;
    }
    m_step = EStep::AwaitSave;
    StartOnce(m_settings.timeoutSeconds * 1000);
    // The click goes through the toolkit's event queue, as the operator's would.
    wxCommandEvent click(wxEVT_BUTTON, button->GetId());
    click.SetEventObject(button);
    wxPostEvent(button, click);
}

void CBenchOperator::ReportDownload()
{
    const std::vector<int64_t>& ticks = m_dialog.TickTimes();
    const std::vector<int32_t>& bytesRead = m_dialog.BytesReadPerTick();
    const int requestTick = m_dialog.RequestTick();
    const int saveTick = m_dialog.SaveTick();
    const SProcessUsage& click = m_dialog.UsageAtClick();
    const SProcessUsage& onDisk = m_store.UsageOnDisk();
    const SProcessUsage& afterSave = m_dialog.UsageAfterSaveTick();
    if (requestTick == CBenchDialog::NoTick || saveTick == CBenchDialog::NoTick ||
        saveTick >= static_cast<int>(ticks.size()))
    {
        Fail("the file was saved, but its request was not seen");
        return;
    }

    std::vector<double> periods;
    int transferTicks = 0;
    int fullReadTicks = 0;
    const int32_t mostPerTick = m_dialog.MostBytesPerTick();
    for (int tick = requestTick + 1; tick <= saveTick; ++tick)
    {
        periods.push_back(static_cast<double>(ticks[tick] - ticks[tick - 1]) / 1000.0);
        if (bytesRead[tick] < 0)
            continue;
        ++transferTicks;
        if (bytesRead[tick] >= mostPerTick)
            ++fullReadTicks;
    }
    double periodSum = 0;
    for (double period : periods)
        periodSum += period;

    m_result.Set("size", static_cast<double>(m_settings.expectedSize));
    m_result.Set("written", static_cast<double>(m_store.Written()));
    m_result.Set("saves", m_store.Saves());
    m_result.Set("click_to_disk_s",
                 static_cast<double>(onDisk.monotonicMicroseconds - click.monotonicMicroseconds) / 1e6);
    m_result.Set("handshake_ms",
                 static_cast<double>(m_dialog.RequestedMicroseconds() - click.monotonicMicroseconds) / 1e3);
    m_result.Set("handshake_ticks", requestTick - m_dialog.TicksBeforeClick() + 1);
    m_result.Set("transfer_s",
                 static_cast<double>(m_store.SaveStartedMicroseconds() - m_dialog.RequestedMicroseconds()) /
                     1e6);
    m_result.Set("save_s",
                 static_cast<double>(onDisk.monotonicMicroseconds - m_store.SaveStartedMicroseconds()) / 1e6);
    m_result.Set("tick_mean_ms", periods.empty() ? 0 : periodSum / static_cast<double>(periods.size()));
    m_result.Set("tick_p99_ms", Percentile(periods, 99));
    m_result.Set("transfer_ticks", transferTicks);
    m_result.Set("full_read_ticks", fullReadTicks);
    m_result.Set("cpu_s", onDisk.cpuSeconds - click.cpuSeconds);
    m_result.Set("save_cpu_s", m_store.SaveCpuSeconds());
    m_result.Set("rss_at_click_kib", static_cast<double>(click.residentKiB));
    m_result.Set("peak_growth_kib", static_cast<double>(afterSave.peakResidentKiB - click.residentKiB));
    m_result.Set("held_kib", static_cast<double>(afterSave.residentKiB - click.residentKiB));
    m_succeeded = m_store.Saves() == 1 && m_store.Written() == m_settings.expectedSize &&
                  m_boxes.UnexpectedBoxes() == 0 && m_boxes.SetupQuestions() == 1;
    if (!m_succeeded)
    {
        Fail("saved " + std::to_string(m_store.Written()) + " bytes in " + std::to_string(m_store.Saves()) +
             " save(s), expected " + std::to_string(m_settings.expectedSize));
        return;
    }
    Finish();
}

void CBenchOperator::ReportIdle()
{
    const SProcessUsage usage = SProcessUsage::Now();
    const double seconds =
        static_cast<double>(usage.monotonicMicroseconds - m_idleStart.monotonicMicroseconds) / 1e6;
    m_result.Set("idle_s", seconds);
    m_result.Set("cpu_percent", (usage.cpuSeconds - m_idleStart.cpuSeconds) / seconds * 100.0);
    m_result.Set("wakeups_per_s",
                 static_cast<double>(usage.voluntarySwitches - m_idleStart.voluntarySwitches) / seconds);
    m_result.Set("preemptions_per_s",
                 static_cast<double>(usage.involuntarySwitches - m_idleStart.involuntarySwitches) / seconds);
    m_result.Set("ticks_per_s",
                 static_cast<double>(m_dialog.TickTimes().size() - m_idleStartTicks) / seconds);
    m_succeeded = true;
    Finish();
}

void CBenchOperator::Fail(const std::string& reason)
{
    if (!m_failure.empty())
        return;
    m_failure = reason;
    m_succeeded = false;
    std::fprintf(stderr, "quorvel-bench-client: %s\n", reason.c_str());
    m_result.Set("failed", 1);
    Finish();
}

void CBenchOperator::Finish()
{
    Stop();
    m_result.Print();
    m_dialog.EndDialog(IdCancel);
}
