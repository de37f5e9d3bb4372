#include "config/FolderChooser.h"

#include <QDir>
#include <QFileDialog>
#include <QStandardPaths>
#include <utility>

namespace {

FolderChooserFunction& CurrentChooser() {
    static FolderChooserFunction chooser;
    return chooser;
}

QString StartFolder() {
    const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    return QDir(desktop).exists() ? desktop : QDir::homePath();
}

std::optional<std::string> QtFolderDialog(QWidget* parent, const std::string& title) {
    const QString folder = QFileDialog::getExistingDirectory(
        parent, QString::fromStdString(title), StartFolder(), QFileDialog::ShowDirsOnly);
    if (folder.isEmpty()) {
        return std::nullopt;
    }
    return QDir::toNativeSeparators(folder).toStdString();
}

}  // namespace

std::optional<std::string> ChooseFolder(QWidget* parent, const std::string& title) {
    const FolderChooserFunction& chooser = CurrentChooser();
    return chooser ? chooser(parent, title) : QtFolderDialog(parent, title);
}

void SetFolderChooser(FolderChooserFunction chooser) {
    CurrentChooser() = std::move(chooser);
}
