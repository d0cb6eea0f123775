#include "DemoBoxHook.h"
#include "DemoCamera.h"
#include "DemoDialog.h"
#include "DemoFileStore.h"
#include "DemoOperator.h"
#include "DemoSettings.h"
#include "DemoTranscript.h"
#include "support/TextTranslator.h"
#include "ui/StandardIds.h"
#include "ui/wx/WxBackend.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace
{

const char* const SetupNames[] = {"varnoxsetup.exe", "kellidsetup.exe"};

// Checks the end of the demo against what must have happened; each miss is a problem.
void CheckOutcome(int dialogResult, const CDemoDialog& dialog, const CDemoFileStore& store,
                  const CDemoOperator& demoOperator, const CDemoBoxHook& boxes, const SDemoSettings& settings,
                  CDemoTranscript& transcript)
{
    std::error_code error;
    const std::string downloads = std::filesystem::canonical(settings.downloadFolder, error).string();
    if (dialogResult != IdCancel || !demoOperator.HasFinishedSteps())
        transcript.Problem("the dialog did not end through its Close button");
    if (!dialog.IsIdle() || dialog.PendingFileCount() != 0 || dialog.DownloadedFileCount() != 0)
        transcript.Problem("the dialog did not return to idle");
    if (store.IdenticalSaves() != 2)
        transcript.Problem("expected both setups saved byte-identical, got " +
                           std::to_string(store.IdenticalSaves()));
    if (boxes.Texts().size() != 3)
        transcript.Problem("expected two setup questions and one confirmation, got " +
                           std::to_string(boxes.Texts().size()) + " message boxes");
    std::vector<std::string> started;
    for (const CDemoOperator::SStart& start : demoOperator.Starts())
    {
        started.push_back(std::filesystem::path(start.document).filename().string());
        if (start.workingDirectory != downloads)
            transcript.Problem("a setup started in " + start.workingDirectory + " instead of " + downloads);
    }
    for (const char* name : SetupNames)
    {
        bool wasStarted = false;
        for (const std::string& startedName : started)
            wasStarted = wasStarted || startedName == name;
        if (!wasStarted)
            transcript.Problem(std::string(name) + " was not started");
        if (std::filesystem::exists(settings.downloadFolder + "/" + name, error))
            transcript.Problem(std::string(name) + " is still in the download folder");
    }
    if (store.Removals() != 2)
        transcript.Problem("expected both setups removed, got " + std::to_string(store.Removals()));
}

} // namespace

int main(int argc, char** argv)
{
    SDemoSettings settings;
    std::string error;
    if (!ParseDemoSettings(argc, argv, settings, error))
    {
        std::fprintf(stderr, "quorvel-demo-driver: %s\n\n%s", error.c_str(), DemoUsage());
        return 2;
    }

    CWxBackend backend;
    if (!backend.Start(argc, argv))
    {
        std::fputs("quorvel-demo-driver: no graphical display can be opened.\n", stderr);
        return 3;
    }
    if (settings.checkDisplayOnly)
        return 0;

    CDemoTranscript transcript;
    transcript.Line(
        "demo", std::string("display language: ") +
                    (g_translator.Translate("Schliessen") == std::string("Close") ? "English" : "German") +
                    "; recorder on 127.0.0.1:" + std::to_string(settings.recorderPort));
    CDemoFileStore store(transcript, settings.recorderFolder);
    CDemoDialog dialog(settings.recorderPort, transcript);
    CDemoBoxHook boxes(dialog, transcript);
    boxes.Register();
    CDemoCamera camera(settings.outputFolder, transcript);
    CDemoOperator demoOperator(dialog, boxes, camera, transcript, settings);
    demoOperator.Begin();

    const int result = dialog.DoModal();
    demoOperator.Stop();
    boxes.Unregister();

    CheckOutcome(result, dialog, store, demoOperator, boxes, settings, transcript);
    if (transcript.ProblemCount() > 0)
    {
        transcript.Line("demo", "FAILED with " + std::to_string(transcript.ProblemCount()) + " problem(s)");
        return 1;
    }
    transcript.Line("demo", "finished: both setups downloaded, offered, started and removed; " +
                                std::to_string(camera.ShotCount()) + " screenshots in " +
                                settings.outputFolder);
    return 0;
}
