// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Which drops the main window takes: exactly one local file or folder, as a copy or link only.

#include <QList>
#include <QUrl>
#include <optional>
#include <string>

// The path of the one local file or folder in `urls`; nothing for several, none or non-local.
std::optional<std::string> SingleLocalPath(const QList<QUrl>& urls);

// The action for a drop: Copy, else Link, else Qt::IgnoreAction, as `possible` allows; never Move.
Qt::DropAction SafeDropAction(Qt::DropActions possible);
