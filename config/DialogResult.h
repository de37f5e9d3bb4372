// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The results of a modal dialog, with the numbers that Windows dialogs return.

inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
