// Which Windows the code runs on. The family decides which API the edge calls (the
// W functions on the NT family, the A functions and an exact conversion on the 9x
// family); the versions decide how a command reaches Explorer's view and what the
// dialogs offer.
#pragma once
#include <string>

namespace korvane {

// The NT family (Windows NT, 2000, XP and later): the W functions work.
bool IsNt() noexcept;

// Version probes, evaluated afresh at every call. On the 9x family all are false.
bool IsWindowsXpOrLater() noexcept;     // NT 5.1 or later
bool IsWindowsVistaOrLater() noexcept;  // NT 6.0 or later
bool IsWindows7OrLater() noexcept;      // NT 6.1 or later

// The process's command line, as the system keeps it.
std::u16string CommandLineText();

}  // namespace korvane
