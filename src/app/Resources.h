#pragma once

class CResourceTable;

// Resource ids: dialog templates, strings, icons, controls and the system-menu command.
constexpr int IDD_ABOUTBOX = 100;
constexpr int IDS_ABOUTBOX = 101;
constexpr int IDD_QUORVEL_DIALOG = 102;
constexpr int IDR_MAINFRAME = 128;

constexpr int IDC_RECORDER_ADDRESS = 1001;
constexpr int IDC_PASSWORD = 1002;
constexpr int IDC_VARNOX = 1003;
constexpr int IDC_KELLID = 1004;
constexpr int IDC_PROGRESS = 1005;
constexpr int IDC_STATUS = 1006;
constexpr int IDC_DOWNLOAD = 1007;
constexpr int IDC_TEMP_DIRECTORY = 1008;
constexpr int IDC_BROWSE = 1009;
constexpr int IDC_LABEL_ADDRESS = 1010;
constexpr int IDC_LABEL_PASSWORD = 1011;
constexpr int IDC_LABEL_SOFTWARE = 1012;
constexpr int IDC_LABEL_TEMP_DIRECTORY = 1013;
constexpr int IDC_LABEL_PROGRESS = 1014;
constexpr int IDC_LABEL_STATUS = 1015;

// System-menu command of the about entry; the low four bits belong to the system.
constexpr unsigned IDM_ABOUTBOX = 0x0010;

// The application's dialog templates, strings and icon.
const CResourceTable& AppResources();
