// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/FileDrop.h"

std::optional<std::string> SingleLocalPath(const QList<QUrl>& urls) {
    if (urls.size() != 1 || !urls.front().isLocalFile()) {
        return std::nullopt;
    }
    const std::string path = urls.front().toLocalFile().toStdString();
    if (path.empty()) {
        return std::nullopt;
    }
    return path;
}

Qt::DropAction SafeDropAction(Qt::DropActions possible) {
    if (possible & Qt::CopyAction) {
        return Qt::CopyAction;
    }
    if (possible & Qt::LinkAction) {
        return Qt::LinkAction;
    }
    return Qt::IgnoreAction;
}
