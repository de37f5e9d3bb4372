// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The product's web pages, opened in the default browser.

constexpr char kHomePageUrl[] = "https://www.quillbay.com/fenrik/";
constexpr char kHelpPageUrl[] = "https://www.quillbay.com/fenrik/help.php";
