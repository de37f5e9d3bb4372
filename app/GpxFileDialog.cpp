// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/GpxFileDialog.h"

#include <QCursor>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>

#include "track/load/TrackLoad.h"

std::string TrackChooserFilter() {
    std::string patterns;
    for (const std::string& extension : TrackFileExtensions()) {
        patterns += (patterns.empty() ? "*." : " *.") + extension;
    }
    return "Track files (" + patterns + ");;GPX files (*.gpx);;All files (*)";
}

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
    QAction* file = menu.addAction(QStringLiteral("Track file…"));
    QAction* folder = menu.addAction(QStringLiteral("Folder of tracks…"));
    menu.setActiveAction(file);
    const QPoint at =
        anchor != nullptr ? anchor->mapToGlobal(QPoint(0, anchor->height())) : QCursor::pos();
    const QAction* chosen = menu.exec(at, file);
    const QString start = QString::fromStdString(GpxChooserStartFolder(current));
    if (chosen == file) {
        return QFileDialog::getOpenFileName(anchor, QStringLiteral("Track file"), start,
                                            QString::fromStdString(TrackChooserFilter()))
            .toStdString();
    }
    if (chosen == folder) {
        return QFileDialog::getExistingDirectory(anchor, QStringLiteral("Folder of tracks"), start)
            .toStdString();
    }
    return {};
}
