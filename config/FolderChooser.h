#pragma once
// The folder chooser that the configuration dialog's browse buttons open, replaceable so that
// tests never open a real file dialog.

#include <QWidget>
#include <functional>
#include <optional>
#include <string>

// Shows a chooser over `parent` (may be null) with `title` and returns the full path of the
// chosen folder, or nothing when the user cancelled.
using FolderChooserFunction =
    std::function<std::optional<std::string>(QWidget* parent, const std::string& title)>;

// Runs the current chooser: Qt's folder dialog, file-system folders only, starting at the user's
// desktop folder (or home when there is none), unless replaced. GUI thread only.
std::optional<std::string> ChooseFolder(QWidget* parent, const std::string& title);

// Replaces the chooser; an empty function restores Qt's folder dialog. GUI thread only.
void SetFolderChooser(FolderChooserFunction chooser);
