#include "ScopedLanguage.h"
#include "WxTestWindows.h"
#include "support/TextTranslator.h"
#include "ui/wx/WxBackend.h"

#include <gtest/gtest.h>

#include <wx/modalhook.h>
#include <wx/msgdlg.h>

#include <string>
#include <vector>

namespace
{

// A button label as the operator reads it, without the mark of its mnemonic.
std::string WithoutMnemonic(const wxString& label)
{
    std::string plain;
    for (char c : label.utf8_string())
    {
        if (c != '_' && c != '&')
            plain += c;
    }
    return plain;
}

// Reads the button labels of every native message box as it is about to open, and answers it
// with its first button there, so that no key has to find the box on the screen.
class CButtonLabelReader : public wxModalDialogHook
{
public:
    std::vector<std::vector<std::string>> boxes;

protected:
    int Enter(wxDialog* dialog) override
    {
        auto* box = dynamic_cast<wxMessageDialog*>(dialog);
        if (box == nullptr)
            return wxID_NONE;
        if ((box->GetMessageDialogStyle() & wxYES_NO) != 0)
        {
            boxes.push_back({WithoutMnemonic(box->GetYesLabel()), WithoutMnemonic(box->GetNoLabel())});
            return wxID_YES;
        }
        std::vector<std::string> labels{WithoutMnemonic(box->GetOKLabel())};
        if ((box->GetMessageDialogStyle() & wxCANCEL) != 0)
            labels.push_back(WithoutMnemonic(box->GetCancelLabel()));
        boxes.push_back(labels);
        return wxID_OK;
    }
    void Exit(wxDialog*) override {}
};

TEST(WxMessageBoxTest, StockButtonsSpeakTheDisplayLanguage)
{
    CWxBackend& backend = StartedBackend();
    ASSERT_TRUE(backend.IsStarted());
    struct SCase
    {
        int32_t language;
        std::vector<std::vector<std::string>> labels;
    };
    // The toolkit's own words, whatever language the machine's locale names (here: none).
    const SCase cases[] = {
        {CTextTranslator::LanguageGerman, {{"Ja", "Nein"}, {"OK", "Abbrechen"}, {"OK"}}},
        {CTextTranslator::LanguageEnglish, {{"Yes", "No"}, {"OK", "Cancel"}, {"OK"}}},
        {CTextTranslator::LanguageGerman, {{"Ja", "Nein"}, {"OK", "Abbrechen"}, {"OK"}}},
    };
    for (const SCase& c : cases)
    {
        CScopedLanguage language(c.language);
        CButtonLabelReader reader;
        reader.Register();
        std::vector<EMessageBoxResult> answers;
        for (EMessageBoxButtons buttons :
             {EMessageBoxButtons::YesNo, EMessageBoxButtons::OkCancel, EMessageBoxButtons::Ok})
            answers.push_back(backend.ShowMessageBox(nullptr, "Which buttons?", "Quorvel",
                                                     EMessageBoxIcon::Question, buttons));
        reader.Unregister();
        EXPECT_EQ(reader.boxes, c.labels) << "language " << c.language;
        EXPECT_EQ(answers, (std::vector<EMessageBoxResult>{EMessageBoxResult::Yes, EMessageBoxResult::Ok,
                                                           EMessageBoxResult::Ok}));
    }
}

} // namespace
