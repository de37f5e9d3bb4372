// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The folder chooser that the configuration dialog's browse buttons open.

#include <QWidget>
#include <functional>
#include <optional>
#include <string>

// The chosen folder's full path, or nothing when cancelled; `parent` may be null. GUI thread.
using FolderChooserFunction =
    std::function<std::optional<std::string>(QWidget* parent, const std::string& title)>;

// Qt's folder dialog, starting at the user's desktop folder (or home).
std::optional<std::string> ChooseFolderWithDialog(QWidget* parent, const std::string& title);
