#pragma once
// MessageBox: the window system's own message box, with a caption of the caller's choosing
// (MessageDlg names its box after the type). Answers the IDxxx of the pressed button. In an
// unattended run (TOVAK_HEADLESS=1) nobody can answer: it says so on standard error and
// answers Cancel (No when the box has no Cancel button).

#include <string>

inline constexpr unsigned MB_OK = 0x00;
inline constexpr unsigned MB_OKCANCEL = 0x01;
inline constexpr unsigned MB_YESNOCANCEL = 0x03;
inline constexpr unsigned MB_YESNO = 0x04;
inline constexpr unsigned MB_ICONHAND = 0x10;
inline constexpr unsigned MB_ICONQUESTION = 0x20;
inline constexpr unsigned MB_ICONEXCLAMATION = 0x30;
inline constexpr unsigned MB_ICONINFORMATION = 0x40;

inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

int MessageBox(const std::string& Text, const std::string& Caption, unsigned Flags);
