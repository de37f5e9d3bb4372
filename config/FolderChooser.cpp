// SPDX-License-Identifier: GPL-3.0-or-later
#include "config/FolderChooser.h"

#include <QDir>
#include <QFileDialog>
#include <QStandardPaths>

namespace {

QString StartFolder() {
    const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    return QDir(desktop).exists() ? desktop : QDir::homePath();
}

}  // namespace

std::optional<std::string> ChooseFolderWithDialog(QWidget* parent, const std::string& title) {
    const QString folder = QFileDialog::getExistingDirectory(
        parent, QString::fromStdString(title), StartFolder(), QFileDialog::ShowDirsOnly);
    if (folder.isEmpty()) {
        return std::nullopt;
    }
    return QDir::toNativeSeparators(folder).toStdString();
}
