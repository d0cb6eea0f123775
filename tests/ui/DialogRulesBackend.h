#pragma once

#include "support/RgbColour.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class CDialog;

// A window backend as the dialog rules suite (dialog_rules_test.cpp) drives it: how it runs a
// dialog, and the operator in front of it. Each backend's test program instantiates the suite with
// its own.
class CDialogRulesBackend
{
public:
    // The suite's parameter: a backend by name.
    struct SKind
    {
        const char* name;
        std::unique_ptr<CDialogRulesBackend> (*make)();
    };
    using Step = std::function<bool()>;
    enum class EKey
    {
        Escape,
        Enter,
    };

    virtual ~CDialogRulesBackend() = default;

    // Runs the dialog modally and returns its result. Once the dialog is shown and takes the
    // operator's input, the steps run inside its loop and the loops nested in it, each attempted
    // again while it returns false; when the budget of attempts runs out, also while the dialog
    // does not end after the last step, the test fails and the dialog ends with -5.
    virtual int RunModal(CDialog& dialog, std::vector<Step> steps) = 0;

    // The operator. The input arrives the way the toolkit delivers it, later: steps wait for what
    // it does.
    virtual void Click(const CDialog& dialog, int id) = 0;
    // Clicks into the empty edit field and types.
    virtual void Type(const CDialog& dialog, int id, const std::string& text) = 0;
    virtual void Press(EKey key) = 0;
    virtual void PressCloseBox(const CDialog& dialog) = 0;
    // Presses OK in the message box open over the dialog; false while there is none to answer.
    virtual bool AnswerMessageBox(const CDialog& dialog) = 0;
    // How full the progress bar shows itself, in percent of its range.
    virtual int ShownPercent(const CDialog& dialog, int id) const = 0;

    // The screen of the window backends (main_dialog_screen_test.cpp); the headless one has none.
    struct SPixels
    {
        int width = 0;
        int height = 0;
        // Top row first.
        std::vector<SRgbColour> rgb;
        SRgbColour At(int x, int y) const { return rgb[static_cast<size_t>(y * width + x)]; }
    };
    // Asks for a whole repaint on the first call; true once the dialog has been painted again.
    virtual bool Repainted(const CDialog&) { return false; }
    // What the screen shows of the dialog's client area.
    virtual SPixels ShownPixels(const CDialog&) const { return {}; }
    // How often the dialog's background picture has been converted for the screen.
    virtual unsigned BackgroundConversions(const CDialog&) const { return 0; }
};

inline void PrintTo(const CDialogRulesBackend::SKind& kind, std::ostream* out)
{
    *out << kind.name;
}

using DialogRules = ::testing::TestWithParam<CDialogRulesBackend::SKind>;
