#include "WorkflowHarness.h"
#include "app/Resources.h"
#include "support/TextTranslator.h"

#include <gtest/gtest.h>

namespace
{

const char NoDirectory[] = "The selected directory does not exist!";
const char NotADirectory[] = "You did not select a directory!";

TEST(TempDirChoice, LeavingTheFieldChecksWhatWasTyped)
{
    const struct
    {
        const char* name;
        // "<dir>" stands for an existing directory, "<file>" for an existing plain file.
        std::string typed;
        const char* message;
    } rows[] = {
        {"existing directory", "<dir>", nullptr}, {"existing directory with separator", "<dir>/", nullptr},
        {"empty field", "", NoDirectory},         {"missing path", "<dir>/missing", NoDirectory},
        {"plain file", "<file>", NotADirectory},
    };
    for (const auto& row : rows)
    {
        SCOPED_TRACE(row.name);
        CWorkflowHarness harness;
        const std::string file = harness.Scratch().WriteFile("plain.txt", {'x'});
        std::string typed = row.typed;
        if (typed.rfind("<dir>", 0) == 0)
            typed.replace(0, 5, harness.DownloadDirectory());
        else if (typed == "<file>")
            typed = file;
        if (row.message != nullptr)
            harness.Backend().QueueAnswer(EMessageBoxResult::Ok);

        harness.Window().Type(IDC_TEMP_DIRECTORY, typed);
        harness.Window().MoveFocus(IDC_RECORDER_ADDRESS);

        if (row.message == nullptr)
        {
            EXPECT_TRUE(harness.Boxes().empty());
        }
        else
        {
            ASSERT_EQ(harness.Boxes().size(), 1u);
            EXPECT_EQ(harness.Boxes()[0].text, row.message);
            EXPECT_EQ(harness.Boxes()[0].icon, EMessageBoxIcon::Exclamation);
            EXPECT_EQ(harness.Boxes()[0].buttons, EMessageBoxButtons::Ok);
        }
        // Only informs: the field keeps the text, the dialog's directory is untouched.
        EXPECT_EQ(harness.Window().GetText(IDC_TEMP_DIRECTORY), typed);
        EXPECT_STREQ(harness.Dialog().TempDir(), "");
        harness.ExpectIdleEnd();
    }
}

TEST(TempDirChoice, MessagesFollowTheDisplayLanguage)
{
    CWorkflowHarness harness;
    harness.Language().Set(CTextTranslator::LanguageGerman);
    harness.Backend().QueueAnswer(EMessageBoxResult::Ok);
    harness.Backend().QueueAnswer(EMessageBoxResult::Ok);
    harness.Window().Type(IDC_TEMP_DIRECTORY, "");
    harness.Window().MoveFocus(IDC_PASSWORD);
    harness.Window().Type(IDC_TEMP_DIRECTORY, harness.Scratch().WriteFile("plain.txt", {'x'}));
    harness.Window().MoveFocus(IDC_PASSWORD);
    harness.Language().Set(CTextTranslator::LanguageEnglish);
    EXPECT_EQ(harness.BoxTexts(), (std::vector<std::string>{"Das angegebene Verzeichnis existiert nicht!",
                                                            "Sie haben kein Verzeichnis angegeben!"}));
    harness.ExpectIdleEnd();
}

TEST(TempDirChoice, BrowseSetsTheFieldOrLeavesItAlone)
{
    const struct
    {
        const char* name;
        EFolderChoiceResult result;
        // "<dir>" stands for an existing directory.
        std::string chosen;
        // What the field and the dialog's directory hold afterwards ("<dir>" as above).
        std::string field;
        std::string kept;
        const char* message;
        EMessageBoxIcon icon;
    } rows[] = {
        {"existing folder chosen", EFolderChoiceResult::Chosen, "<dir>", "<dir>", "<dir>", nullptr,
         EMessageBoxIcon::None},
        {"vanished folder chosen", EFolderChoiceResult::Chosen, "<dir>/gone", "<dir>/gone", "<dir>/gone",
         NoDirectory, EMessageBoxIcon::Exclamation},
        {"cancelled", EFolderChoiceResult::Cancelled, "", "/typed/before", "", nullptr,
         EMessageBoxIcon::None},
        // The chooser's failure text is the same on every display.
        {"chooser unavailable", EFolderChoiceResult::Unavailable, "", "/typed/before", "",
         "COM-Initialisierung fehlgeschlagen", EMessageBoxIcon::None},
    };
    for (const auto& row : rows)
    {
        SCOPED_TRACE(row.name);
        CWorkflowHarness harness;
        const auto expand = [&](std::string text)
        {
            if (text.rfind("<dir>", 0) == 0)
                text.replace(0, 5, harness.DownloadDirectory());
            return text;
        };
        // Leaving the field reports the typed path; only what the button does counts here.
        harness.Backend().QueueAnswer(EMessageBoxResult::Ok);
        harness.Window().Type(IDC_TEMP_DIRECTORY, "/typed/before");
        harness.Window().MoveFocus(IDC_BROWSE);
        harness.Backend().ClearMessageBoxes();
        harness.Backend().QueueFolderChoice(SFolderChoice{row.result, expand(row.chosen)});
        if (row.message != nullptr)
            harness.Backend().QueueAnswer(EMessageBoxResult::Ok);

        ASSERT_TRUE(harness.Window().Click(IDC_BROWSE));

        EXPECT_EQ(harness.Backend().GetFolderChooserTitles(),
                  std::vector<std::string>{"Wählen Sie das Zielverzeichnis:"});
        EXPECT_EQ(harness.Window().GetText(IDC_TEMP_DIRECTORY), expand(row.field));
        EXPECT_EQ(harness.Dialog().TempDir(), expand(row.kept));
        if (row.message == nullptr)
        {
            EXPECT_TRUE(harness.Boxes().empty());
        }
        else
        {
            ASSERT_EQ(harness.Boxes().size(), 1u);
            EXPECT_EQ(harness.Boxes()[0].text, row.message);
            EXPECT_EQ(harness.Boxes()[0].icon, row.icon);
        }
        harness.ExpectIdleEnd();
    }
}

} // namespace
