// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The names of this program's temporary files: ".fenrik-" and six letters or digits.

#include <string>

// A new random temporary name.
std::string RandomTemporaryName();

// True for exactly the form RandomTemporaryName makes.
bool IsTemporaryName(const std::string& name);
