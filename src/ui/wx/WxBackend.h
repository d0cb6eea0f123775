#pragma once

#include "support/TextTranslator.h"
#include "ui/UiBackend.h"

#include <cstdint>

// The real windowing backend on wxWidgets. Becomes the current backend on construction; Start
// brings the toolkit up, the destructor takes it down again.
class CWxBackend : public CUiBackend
{
public:
    CWxBackend() = default;
    ~CWxBackend() override;

    // False when the toolkit cannot start, typically because no display can be opened.
    bool Start(int& argc, char** argv);
    bool IsStarted() const { return m_started; }

    std::unique_ptr<CDialogWindow> CreateDialogWindow(CDialog& dialog, const SDialogTemplate& dialogTemplate,
                                                      CDialogWindow* parent) override;
    EMessageBoxResult ShowMessageBox(CDialogWindow* owner, const std::string& text, const std::string& title,
                                     EMessageBoxIcon icon, EMessageBoxButtons buttons) override;
    SFolderChoice ChooseFolder(CDialogWindow* owner, const std::string& title) override;
    void WaitWhile(const std::function<bool()>& busy, unsigned maxMilliseconds) override;

private:
    // Loads the toolkit's own texts (stock button labels and the like) for the language the
    // program's translator shows, when that changed.
    void UseDisplayLanguage();

    bool m_started = false;
    int32_t m_toolkitLanguage = CTextTranslator::LanguageUndetermined;
};
