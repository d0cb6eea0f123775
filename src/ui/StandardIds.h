#pragma once

// Identifiers that every dialog shares with its framework.
constexpr int IdOk = 1;
constexpr int IdCancel = 2;
// Controls that are never addressed by id (icons, fixed texts).
constexpr int IdStatic = -1;
// The system command of the window's close box; the low four bits are reserved for the system.
constexpr unsigned SysCommandClose = 0xF060;
constexpr unsigned SysCommandMask = 0xFFF0;
