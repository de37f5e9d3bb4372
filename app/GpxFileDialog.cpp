// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/GpxFileDialog.h"

#include <QCursor>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>

std::string GpxChooserStartFolder(const std::string& current) {
    if (current.empty()) {
        return {};
    }
    const QFileInfo info(QString::fromStdString(current));
    if (info.isDir()) {
        return info.absoluteFilePath().toStdString();
    }
    const QFileInfo folder(info.absolutePath());
    return folder.isDir() ? folder.absoluteFilePath().toStdString() : std::string();
}

std::string ChooseGpxPathWithDialog(QWidget* anchor, const std::string& current) {
    QMenu menu(anchor);
    QAction* file = menu.addAction(QStringLiteral("GPX file…"));
    QAction* folder = menu.addAction(QStringLiteral("Folder of tracks…"));
    menu.setActiveAction(file);
    const QPoint at =
        anchor != nullptr ? anchor->mapToGlobal(QPoint(0, anchor->height())) : QCursor::pos();
    const QAction* chosen = menu.exec(at, file);
    const QString start = QString::fromStdString(GpxChooserStartFolder(current));
    if (chosen == file) {
        return QFileDialog::getOpenFileName(anchor, QStringLiteral("GPX file"), start,
                                            QStringLiteral("GPX Files (*.gpx)"))
            .toStdString();
    }
    if (chosen == folder) {
        return QFileDialog::getExistingDirectory(anchor, QStringLiteral("Folder of tracks"), start)
            .toStdString();
    }
    return {};
}
