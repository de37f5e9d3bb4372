// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The folder chooser that the configuration dialog's browse buttons open.

#include <QWidget>
#include <functional>
#include <optional>
#include <string>

// Shows a chooser over `parent` (may be null) with `title` and returns the full path of the
// chosen folder, or nothing when the user cancelled. GUI thread only.
using FolderChooserFunction =
    std::function<std::optional<std::string>(QWidget* parent, const std::string& title)>;

// Qt's folder dialog: file-system folders only, starting at the user's desktop folder (or home
// when there is none).
std::optional<std::string> ChooseFolderWithDialog(QWidget* parent, const std::string& title);
