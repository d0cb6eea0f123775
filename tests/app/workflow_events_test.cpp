#include "FakeOpenCommand.h"
#include "WorkflowHarness.h"
#include "app/Resources.h"
#include "protocol/EventQueue.h"
#include "protocol/EventRecords.h"
#include "support/TextTranslator.h"
#include "ui/StandardIds.h"

#include <gtest/gtest.h>

namespace
{

std::vector<uint8_t> ProgressPayload(int32_t total, int32_t done, int64_t requestTimeMs = 0)
{
    const auto payload = SProgressRecord{total, done, requestTimeMs}.Encode();
    return std::vector<uint8_t>(payload.begin(), payload.end());
}

// Events the session could post, handled by the next tick of an idle dialog.
class WorkflowEvents : public ::testing::Test
{
protected:
    void Post(int32_t type, int32_t code, const std::vector<uint8_t>& payload = {})
    {
        harness.Dialog().PostEvent(type, code, payload);
    }
    void Tick() { harness.Window().Tick(); }
    std::string StatusLine() { return harness.Window().GetText(IDC_STATUS); }
    int Bar() { return harness.Window().GetProgressPosition(IDC_PROGRESS); }

    CWorkflowHarness harness;
};

TEST_F(WorkflowEvents, StatusCodesOutsideTheTableLeaveTheStatusLine)
{
    Post(StatusEvent, 37);
    Tick();
    ASSERT_EQ(StatusLine(), "Ready.");
    for (int32_t code : {1, 4, 15, 17, 31, 40, 51, 53, 62, 64, -1, -36})
    {
        Post(StatusEvent, code, {0, 0, 0, 0});
        Tick();
        EXPECT_EQ(StatusLine(), "Ready.") << "code " << code;
    }
    // Information codes only change the line.
    for (const auto& row :
         {std::make_pair(63, "The connection ended by control."), std::make_pair(52, "Message")})
    {
        Post(StatusEvent, row.first);
        Tick();
        EXPECT_EQ(StatusLine(), row.second);
    }
    EXPECT_TRUE(harness.Boxes().empty());
    harness.ExpectIdleEnd(false);
}

enum class EExpectedClass
{
    Fatal,
    Question,
    Information,
};

struct SStatusCase
{
    int32_t code;
    const char* english;
    const char* german;
    EExpectedClass statusClass;
};

// Every row of the status table but 36, which also requests a file (tested on its own).
const SStatusCase StatusCases[] = {
    {0, "No memory available!", "Kein Speicher mehr verfügbar!", EExpectedClass::Fatal},
    {5, "No connection!", "Es besteht keine Verbindung!", EExpectedClass::Fatal},
    {6, "Connection request rejected!", "Verbindungsanfrage wurde abgelehnt!", EExpectedClass::Fatal},
    {7, "There is no accessible network!", "Auf das Netzwerk kann nicht zugegriffen werden!",
     EExpectedClass::Fatal},
    {8, "The connection could not be established!", "Es konnte keine Verbindung aufgebaut werden!",
     EExpectedClass::Fatal},
    {9, "Unknown error while connecting.", "Unbekannter Fehler bei der Socket-Verbindung.",
     EExpectedClass::Fatal},
    {10, "A connection error occured!", "Es ist ein Verbindungsfehler aufgetreten!", EExpectedClass::Fatal},
    {11, "Invalid data for connect!", "Ungültige Daten für Verbindung!", EExpectedClass::Fatal},
    {12, "The connection has been reset.", "Verbindung wurde beendet.", EExpectedClass::Fatal},
    {13, "Protocol command not processed.", "Protokoll-Befehl wurde nicht ausgeführt.",
     EExpectedClass::Fatal},
    {14, "System access has not been granted.", "Zugriff auf das System nicht erlaubt.",
     EExpectedClass::Fatal},
    {16, "Access on the system is not permitted vor the logged-on user.",
     "Der Zugriff auf das System ist für den angemeldeten Benutzer nicht gestattet.", EExpectedClass::Fatal},
    {32, "Connecting...", "Verbindungsaufbau...", EExpectedClass::Information},
    {35, "Device information is requested.", "Verbindung besteht. Die Gerätedaten werden ermittelt.",
     EExpectedClass::Information},
    {33, "Unknown Zerrix target!", "Unbekanntes Zerrix-Ziel!", EExpectedClass::Question},
    {34, "Unknown Zerrix command!", "Unbekanntes Zerrix-Commando!", EExpectedClass::Question},
    {37, "Ready.", "Bereit.", EExpectedClass::Information},
    {38, "Internal error: Command could not be processed.",
     "Interner Fehler: Kommando kann nicht ausgeführt werden!", EExpectedClass::Question},
    {39, "Opening the file failed!", "Öffnen des Files schlug fehl!", EExpectedClass::Question},
    {63, "The connection ended by control.", "Die Verbindung wurde kontrolliert beendet.",
     EExpectedClass::Information},
    {52, "Message", "Meldung", EExpectedClass::Information},
};

// Each code's text and class, in both languages; the language changes between the two rounds, so
// a text translated once and kept would show in the wrong one.
TEST_F(WorkflowEvents, EveryStatusCodeShowsItsTextAndClassInTheDisplayLanguage)
{
    for (const int32_t language : {CTextTranslator::LanguageEnglish, CTextTranslator::LanguageGerman})
    {
        harness.Language().Set(language);
        const bool german = language == CTextTranslator::LanguageGerman;
        for (const SStatusCase& row : StatusCases)
        {
            SCOPED_TRACE(std::to_string(row.code) + (german ? " German" : " English"));
            const std::string text = german ? row.german : row.english;
            harness.Backend().ClearMessageBoxes();
            harness.Dialog().AddPendingFile("varnoxsetup.exe", "/nonexistent/varnoxsetup.exe");
            if (row.statusClass != EExpectedClass::Information)
                harness.Backend().QueueAnswer(EMessageBoxResult::Ok);
            Post(StatusEvent, row.code);
            Tick();

            const auto& boxes = harness.Boxes();
            switch (row.statusClass)
            {
            case EExpectedClass::Information:
                EXPECT_EQ(StatusLine(), text);
                EXPECT_TRUE(boxes.empty());
                EXPECT_EQ(harness.Dialog().PendingFileCount(), 1u);
                harness.Dialog().ResetToIdle();
                break;
            case EExpectedClass::Fatal:
                ASSERT_EQ(boxes.size(), 1u);
                EXPECT_EQ(boxes[0].text, german
                                             ? "Es ist ein schwerwiegender Fehler aufgetreten:\n<" + text +
                                                   ">\nDer Download kann nicht fortgesetzt werden!\nDatei: "
                                                   "varnoxsetup.exe"
                                             : "A fatal error occured:\n<" + text +
                                                   ">\nThe download can not be continued!\nFile: "
                                                   "varnoxsetup.exe");
                EXPECT_EQ(boxes[0].icon, EMessageBoxIcon::Stop);
                EXPECT_EQ(boxes[0].buttons, EMessageBoxButtons::Ok);
                break;
            case EExpectedClass::Question:
                ASSERT_EQ(boxes.size(), 1u);
                EXPECT_EQ(boxes[0].text, german ? "Es ist ein Fehler aufgetreten.\n<" + text +
                                                      ">\nWollen Sie fortfahren?\nDatei: varnoxsetup.exe"
                                                : "An error occured.\n<" + text +
                                                      ">\nDo you want to continue?\nFile: varnoxsetup.exe");
                EXPECT_EQ(boxes[0].icon, EMessageBoxIcon::Question);
                EXPECT_EQ(boxes[0].buttons, EMessageBoxButtons::OkCancel);
                break;
            }
            EXPECT_EQ(harness.Dialog().PendingFileCount(), 0u);
            EXPECT_TRUE(harness.Dialog().IsIdle());
        }
    }
    EXPECT_EQ(harness.Window().GetText(IdCancel), "Schliessen");
    harness.Language().Set(CTextTranslator::LanguageEnglish);
    harness.Dialog().ResetToIdle();
    harness.ExpectIdleEnd();
}

// Button 2, the setup question and the confirmation are looked up when they are shown.
TEST_F(WorkflowEvents, CaptionsAndSetupTextsFollowTheLanguageAtTheMomentTheyAreShown)
{
    ASSERT_TRUE(harness.StartRecorder());
    harness.Language().Set(CTextTranslator::LanguageGerman);
    harness.StartDownload(harness.DownloadDirectory());
    EXPECT_EQ(harness.Window().GetText(IdCancel), "Abbrechen");
    harness.Window().PressEscape();
    EXPECT_EQ(harness.Window().GetText(IdCancel), "Schliessen");

    // A file arrives complete with nothing left to fetch: the end of the tick offers it. No opener
    // is found (Windows finds no program in the file's bytes), so the start fails and is reported.
#ifndef _WIN32
    const CFakeOpenCommand noOpener(harness.Scratch(), false);
#endif
    const std::string path = harness.DownloadDirectory() + "/varnoxsetup.exe";
    harness.Dialog().AddPendingFile("varnoxsetup.exe", path.c_str());
    harness.Backend().QueueAnswer(EMessageBoxResult::Yes);
    harness.Backend().QueueAnswer(EMessageBoxResult::Ok);
    harness.Backend().QueueAnswer(EMessageBoxResult::Ok);
    Post(DataEvent, 1, {1, 2, 3});
    Tick();
    ASSERT_EQ(harness.Boxes().size(), 3u) << ::testing::PrintToString(harness.BoxTexts());
    EXPECT_EQ(harness.Boxes()[0].text, "Soll das Setup jetzt ausgeführt werden?\n<varnoxsetup.exe>");
    EXPECT_EQ(harness.Boxes()[1].text, "Das Setup konnte nicht ausgeführt werden!\n<varnoxsetup.exe>");
    EXPECT_EQ(
        harness.Boxes()[2].text,
        "Bitte drücken Sie 'OK', wenn die Installation abgeschlossen ist.\nDie Setup-Dateien werden dann "
        "wieder entfernt.");
    EXPECT_EQ(harness.Boxes()[2].icon, EMessageBoxIcon::None);
    EXPECT_FALSE(FileExists(path));
    EXPECT_EQ(harness.Window().GetText(IdCancel), "Schliessen");
    harness.Language().Set(CTextTranslator::LanguageEnglish);
    harness.Dialog().ResetToIdle();
    harness.ExpectIdleEnd();
}

TEST_F(WorkflowEvents, ConnectedRequestsTheNextFileBeforeItShows)
{
    // With no file left to request, the request ends the download at once; the line still reads
    // "Connected." because it is set afterwards.
    Post(StatusEvent, 36);
    Tick();
    EXPECT_EQ(StatusLine(), "Connected.");
    EXPECT_TRUE(harness.Boxes().empty());
    harness.ExpectIdleEnd(false);
}

TEST_F(WorkflowEvents, ProgressShowsKilobytesPercentAndRoundedBar)
{
    const struct
    {
        int32_t total;
        int32_t done;
        const char* text;
        int bar;
    } rows[] = {
        {0, 0, "varnoxsetup.exe: 0 / 0 KB ( 0.0% )", 0},
        {0, 4096, "varnoxsetup.exe: 4 / 0 KB ( 0.0% )", 0},
        {300 * 1024 + 512, (300 * 1024 + 512) / 2, "varnoxsetup.exe: 150 / 300 KB ( 50.0% )", 50},
        {1000, 995, "varnoxsetup.exe: 0 / 0 KB ( 99.5% )", 100},
        {1000, 994, "varnoxsetup.exe: 0 / 0 KB ( 99.4% )", 99},
        {2047, 2047, "varnoxsetup.exe: 1 / 1 KB ( 100.0% )", 100},
        {3 * 1024 * 1024, 1024 * 1024 + 1023, "varnoxsetup.exe: 1024 / 3072 KB ( 33.4% )", 33},
        // Numbers no transfer produces still give a text and a bar inside its range.
        {1, 2147483647, "varnoxsetup.exe: 2097151 / 0 KB ( 214748364700.0% )", 100},
        {100, -50, "varnoxsetup.exe: 0 / 0 KB ( -50.0% )", 0},
    };
    harness.Dialog().AddPendingFile("varnoxsetup.exe", "/nonexistent/varnoxsetup.exe");
    for (const auto& row : rows)
    {
        Post(ProgressEvent, 0, ProgressPayload(row.total, row.done));
        Tick();
        EXPECT_EQ(StatusLine(), row.text) << row.total << " " << row.done;
        EXPECT_EQ(Bar(), row.bar) << row.total << " " << row.done;
    }
    // Sending progress looks the same.
    Post(ProgressEvent, 1, ProgressPayload(2048, 1024));
    Tick();
    EXPECT_EQ(StatusLine(), "varnoxsetup.exe: 1 / 2 KB ( 50.0% )");
    harness.Dialog().ResetToIdle();
    harness.ExpectIdleEnd();
}

// A file's last report arrives after the next request went out; it must not show under the new name.
TEST_F(WorkflowEvents, ProgressOfAnEarlierRequestIsNotShown)
{
    harness.Dialog().AddPendingFile("kellidsetup.exe", "/nonexistent/kellidsetup.exe");
    harness.Dialog().RequestNextFile();
    const int64_t latest = harness.Dialog().LatestRequestMs();
    ASSERT_NE(latest, 0);
    Post(ProgressEvent, 0, ProgressPayload(2048, 2048, latest - 1));
    Tick();
    EXPECT_EQ(StatusLine(), "");
    Post(ProgressEvent, 0, ProgressPayload(2048, 1024, latest));
    Tick();
    EXPECT_EQ(StatusLine(), "kellidsetup.exe: 1 / 2 KB ( 50.0% )");
    // Without its request time a report counts as the latest request's.
    std::vector<uint8_t> numbersOnly = ProgressPayload(4096, 1024);
    numbersOnly.resize(SProgressRecord::NumbersSize);
    Post(ProgressEvent, 0, numbersOnly);
    Tick();
    EXPECT_EQ(StatusLine(), "kellidsetup.exe: 1 / 4 KB ( 25.0% )");
    harness.Dialog().ResetToIdle();
    harness.ExpectIdleEnd();
}

TEST_F(WorkflowEvents, EventsWithoutAFileToNameChangeNothingAndNeverCrash)
{
    Post(StatusEvent, 37);
    Tick();
    // No file is pending: progress and data have no head to belong to.
    Post(ProgressEvent, 0, ProgressPayload(1000, 500));
    Post(DataEvent, 1, {1, 2, 3});
    Post(DataEvent, 1);
    Tick();
    EXPECT_EQ(StatusLine(), "Ready.");
    EXPECT_EQ(Bar(), 0);
    EXPECT_EQ(harness.Dialog().DownloadedFileCount(), 0u);

    // A progress event too short for its two numbers is not read.
    harness.Dialog().AddPendingFile("varnoxsetup.exe", "/nonexistent/varnoxsetup.exe");
    Post(ProgressEvent, 0, {0x10, 0, 0, 0});
    Post(ProgressEvent, 0);
    Tick();
    EXPECT_EQ(StatusLine(), "Ready.");
    harness.Dialog().ResetToIdle();

    // A fatal status names an empty file then; a question answered OK has nothing to skip.
    harness.Backend().QueueAnswer(EMessageBoxResult::Ok);
    harness.Backend().QueueAnswer(EMessageBoxResult::Ok);
    Post(StatusEvent, 12);
    Tick();
    Post(StatusEvent, 39, {0, 0, 0, 0});
    Tick();
    EXPECT_EQ(harness.BoxTexts(),
              (std::vector<std::string>{
                  "A fatal error occured:\n<The connection has been reset.>\nThe download can not be "
                  "continued!\nFile: ",
                  "An error occured.\n<Opening the file failed!>\nDo you want to continue?\nFile: "}));
    harness.ExpectIdleEnd();
}

TEST_F(WorkflowEvents, DataEventsOtherThanACompleteFileWriteNothing)
{
    const std::string path = harness.DownloadDirectory() + "/varnoxsetup.exe";
    harness.Dialog().AddPendingFile("varnoxsetup.exe", path.c_str());
    // The recorder's clock (code 0) and the acknowledged time (code 3).
    Post(DataEvent, 0, {1, 2, 3, 4, 5, 6, 7, 8});
    Post(DataEvent, 3, {10, 0, 0, 0});
    Tick();
    EXPECT_FALSE(FileExists(path));
    EXPECT_EQ(harness.Dialog().PendingFileCount(), 1u);
    EXPECT_EQ(harness.Dialog().DownloadedFileCount(), 0u);

    // Unknown event types are passed over as well.
    Post(7, 1, {1, 2, 3});
    Tick();
    EXPECT_EQ(harness.Dialog().PendingFileCount(), 1u);
    harness.Dialog().ResetToIdle();
    harness.ExpectIdleEnd();
}

TEST_F(WorkflowEvents, TicksDeliveredWhileABoxIsOpenDoNothing)
{
    // Each box delivers several ticks before it returns. Handled again, the fatal event behind
    // the box would open box after box; handled once, there is exactly one.
    harness.Backend().SetTicksPerMessageBox(5);
    harness.Backend().QueueAnswer(EMessageBoxResult::Ok);
    harness.Dialog().AddPendingFile("varnoxsetup.exe", "/nonexistent/varnoxsetup.exe");
    Post(StatusEvent, 6, {0x4D, 0x27, 0, 0});
    Post(StatusEvent, 37);
    Tick();
    EXPECT_EQ(harness.BoxTexts(),
              std::vector<std::string>{
                  "A fatal error occured:\n<Connection request rejected!>\nThe download can not be "
                  "continued!\nFile: varnoxsetup.exe"});
    EXPECT_FALSE(harness.Dialog().IsInTimer());
    // What the box's end left queued is discarded, not shown.
    EXPECT_EQ(StatusLine(), "");
    harness.ExpectIdleEnd();
}

} // namespace
