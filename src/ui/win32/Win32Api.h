#pragma once

// The Windows headers that the backend uses. They name many functions through macros that pick the
// ANSI or wide variant (DrawText, MessageBox, LoadIcon, ...); the framework has members of the
// same names, so those macros are removed here. The backend calls the wide functions by their full
// names. Include this instead of <windows.h> wherever a framework header is also seen.
#include <windows.h>

#include <commctrl.h>
#include <shlobj.h>

#undef CreateDialog
#undef DrawText
#undef GetDlgItemText
#undef GetWindowText
#undef LoadIcon
#undef LoadString
#undef MessageBox
#undef SetDlgItemText
#undef SetWindowText
