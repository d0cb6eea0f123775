// The main dialog as the window backends put it on the screen (the headless backend's record of
// the same painting is checked in tests/app): its labels let the background picture show through,
// which is converted for the screen once per picture, however often the window is painted.
#include "DialogRulesBackend.h"
#include "ScopedLanguage.h"
#include "TestQuorvelDlg.h"
#include "app/Resources.h"
#include "support/TextTranslator.h"
#include "ui/DialogWindow.h"
#include "ui/StandardIds.h"

#include <set>
#include <string>

namespace
{

using Pixels = CDialogRulesBackend::SPixels;

SRgbColour PictureAt(const CBackgroundBitmap& background, int x, int y)
{
    const size_t row = static_cast<size_t>(background.GetHeight() - 1 - y) * background.GetStride();
    return background.GetPaletteEntry(background.GetPixels()[row + static_cast<size_t>(x)]);
}

// Every pixel of a label that is not its text is the picture's: the label fills nothing. The status
// line is a plain static: inside its frame, its own face colour, where the picture shows others.
void ExpectThePictureBehindTheLabels(const CTestQuorvelDlg& dialog, const Pixels& shot)
{
    ASSERT_GT(shot.width, 0) << "nothing read from the screen";
    const CBackgroundBitmap& background = dialog.Background();
    const CDialogWindow& window = *dialog.GetWindow();
    for (const int id : {IDC_LABEL_ADDRESS, IDC_LABEL_PASSWORD, IDC_LABEL_SOFTWARE, IDC_LABEL_TEMP_DIRECTORY,
                         IDC_LABEL_PROGRESS, IDC_LABEL_STATUS})
    {
        const SRect label = window.GetControlRect(window.FindControl(id));
        int pixels = 0;
        int picture = 0;
        std::set<uint32_t> colours;
        for (int y = label.top; y < label.bottom; ++y)
        {
            for (int x = label.left; x < label.right; ++x, ++pixels)
            {
                const SRgbColour seen = shot.At(x, y);
                if (seen == PictureAt(background, x, y))
                    ++picture,
                        colours.insert(static_cast<uint32_t>(seen.red << 16 | seen.green << 8 | seen.blue));
            }
        }
        EXPECT_GT(picture, pixels * 7 / 10) << "label " << id << ": " << picture << " of " << pixels;
        EXPECT_GT(colours.size(), 2u) << "label " << id << " shows a plain fill";
        const int right = label.right - 2;
        const int middle = (label.top + label.bottom) / 2;
        EXPECT_EQ(shot.At(right, middle), PictureAt(background, right, middle)) << "label " << id;
    }

    const SRect status = window.GetControlRect(window.FindControl(IDC_STATUS));
    const SRgbColour face = window.GetSystemColour(ESystemColour::ButtonFace);
    int faces = 0;
    int pictureDiffers = 0;
    int pixels = 0;
    for (int y = status.top + 3; y < status.bottom - 3; ++y)
    {
        for (int x = status.left + 3; x < status.right - 3; ++x, ++pixels)
            faces += shot.At(x, y) == face ? 1 : 0,
                pictureDiffers += PictureAt(background, x, y) != face ? 1 : 0;
    }
    EXPECT_EQ(faces, pixels);
    EXPECT_GT(pictureDiffers, pixels / 2);
}

// Painted, then again after each thing a download does to the window, then after the picture
// changes: the converted picture is reused until then.
TEST_P(DialogRules, TheMainDialogsLabelsShowTheBackgroundPictureConvertedOncePerPicture)
{
    const auto backend = GetParam().make();
    CScopedLanguage language(CTextTranslator::LanguageEnglish);
    CTestQuorvelDlg dialog;
    std::vector<unsigned> conversions;
    // Each step waits for a whole repaint since the one before.
    const auto repainted = [&](std::function<void()> then) -> CDialogRulesBackend::Step
    {
        return [&, then]()
        {
            if (!backend->Repainted(dialog))
                return false;
            conversions.push_back(backend->BackgroundConversions(dialog));
            return then(), true;
        };
    };
    std::vector<CDialogRulesBackend::Step> steps{
        repainted([&]() { ExpectThePictureBehindTheLabels(dialog, backend->ShownPixels(dialog)); })};
    for (int percent = 10; percent <= 50; percent += 10)
    {
        steps.push_back(repainted(
            [&dialog, percent]()
            {
                dialog.SetProgressPos(IDC_PROGRESS, percent);
                dialog.SetDlgItemText(IDC_STATUS, "varnoxsetup.exe: " + std::to_string(percent));
            }));
    }
    steps.push_back(repainted([&]() { dialog.GenerateBackground(8, 50, 0x0000FF); }));
    steps.push_back(repainted([&]() { dialog.EndDialog(IdOk); }));
    EXPECT_EQ(backend->RunModal(dialog, steps), IdOk);
    EXPECT_EQ(conversions, (std::vector<unsigned>{1, 1, 1, 1, 1, 1, 1, 2}));
}

} // namespace
