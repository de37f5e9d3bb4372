// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Which drops the main window takes: exactly one local file or folder, and only as a copy or a
// link, so that the source of the drag never moves or deletes what was dropped.

#include <QList>
#include <QUrl>
#include <optional>
#include <string>

// The path of the one local file or folder that `urls` names; nothing when they name several
// things, none, or something that is not local (a web address).
std::optional<std::string> SingleLocalPath(const QList<QUrl>& urls);

// The action to take a drop with, among those the source allows: Copy, else Link, else
// Qt::IgnoreAction. Never Move.
Qt::DropAction SafeDropAction(Qt::DropActions possible);
