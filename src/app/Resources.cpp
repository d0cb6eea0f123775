#include "app/Resources.h"

#include "ui/ResourceTable.h"
#include "ui/StandardIds.h"

#include <cstdint>

namespace
{

#include "app/AppIconData.inc"

constexpr unsigned EditStyle = StyleTabStop | StyleAutoHScroll | StyleBorder;

const SControlTemplate AboutControls[] = {
    {IdStatic, EControlKind::Icon, "128", 11, 17, 20, 20, StyleNone},
    {IdStatic, EControlKind::Label, "Quorvel Version 1.0.1", 40, 10, 119, 8, StyleNone},
    {IdStatic, EControlKind::Label, "Copyright (C) 2026 Quorvel developers", 40, 25, 188, 8, StyleNone},
    {IdOk, EControlKind::PushButton, "OK", 178, 7, 50, 14, StyleTabStop | StyleDefault},
};

const SControlTemplate MainControls[] = {
    {IDC_LABEL_ADDRESS, EControlKind::Label, "Recorder TCP/IP Addresse", 7, 14, 110, 8, StyleNone},
    {IDC_RECORDER_ADDRESS, EControlKind::Edit, "", 125, 11, 188, 14, EditStyle},
    {IDC_LABEL_PASSWORD, EControlKind::Label, "Passwort", 7, 29, 110, 8, StyleNone},
    {IDC_PASSWORD, EControlKind::Edit, "", 125, 26, 188, 14, EditStyle | StylePassword},
    {IDC_LABEL_SOFTWARE, EControlKind::Label, "Software herunterladen", 7, 53, 110, 8, StyleNone},
    {IDC_VARNOX, EControlKind::CheckBox, "Varnox", 125, 52, 55, 10, StyleTabStop | StyleAutoCheck},
    {IDC_KELLID, EControlKind::CheckBox, "Kellid", 125, 61, 55, 10, StyleTabStop | StyleAutoCheck},
    {IDC_LABEL_TEMP_DIRECTORY, EControlKind::Label, "Temporäres Verzeichnis", 7, 85, 110, 8, StyleNone},
    {IDC_TEMP_DIRECTORY, EControlKind::Edit, "", 125, 82, 163, 14, EditStyle},
    {IDC_BROWSE, EControlKind::PushButton, "...", 293, 82, 20, 14, StyleTabStop},
    {IDC_LABEL_PROGRESS, EControlKind::Label, "Fortschritt", 7, 110, 110, 8, StyleNone},
    {IDC_PROGRESS, EControlKind::ProgressBar, "", 125, 107, 188, 14, StyleBorder},
    {IDC_LABEL_STATUS, EControlKind::Label, "Status", 7, 127, 110, 8, StyleNone},
    {IDC_STATUS, EControlKind::Label, "", 125, 125, 188, 12, StyleSunken},
    {IDC_DOWNLOAD, EControlKind::PushButton, "Herunterladen", 125, 144, 67, 14, StyleTabStop},
    {IdCancel, EControlKind::PushButton, "Schliessen", 263, 144, 50, 14, StyleTabStop | StyleDefault},
};

constexpr unsigned ModalDialogStyle = DialogStyleCaption | DialogStyleSystemMenu | DialogStyleModalFrame;

const SDialogTemplate Dialogs[] = {
    {IDD_ABOUTBOX, "Info über Quorvel", 235, 55, "MS Sans Serif", 8, ModalDialogStyle, AboutControls,
     static_cast<int>(sizeof(AboutControls) / sizeof(AboutControls[0]))},
    {IDD_QUORVEL_DIALOG, "Quorvel V1.0", 320, 165, "MS Sans Serif", 8,
     ModalDialogStyle | DialogStyleAppWindow, MainControls,
     static_cast<int>(sizeof(MainControls) / sizeof(MainControls[0]))},
};

const SStringResource Strings[] = {
    {IDS_ABOUTBOX, "Inf&o über Quorvel..."},
};

const SIconImage MainIconImages[] = {
    {16, AppIconPng16, sizeof(AppIconPng16)},
    {32, AppIconPng32, sizeof(AppIconPng32)},
    {48, AppIconPng48, sizeof(AppIconPng48)},
    {128, AppIconPng128, sizeof(AppIconPng128)},
};

const SIconResource Icons[] = {
    {IDR_MAINFRAME, MainIconImages, static_cast<int>(sizeof(MainIconImages) / sizeof(MainIconImages[0]))},
};

} // namespace

const CResourceTable& AppResources()
{
    static const CResourceTable resources("Quorvel", Dialogs, Strings, Icons);
    return resources;
}
