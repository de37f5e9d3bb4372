// SPDX-License-Identifier: GPL-3.0-or-later
#include "config/ClockFromPhoto.h"

#include <QDateTime>
#include <QFileDialog>
#include <QInputDialog>
#include <QTimeZone>
#include <cstdint>

namespace {

QDateTime ExifDateTime(const std::string& text, const char* format) {
    QDateTime time = QDateTime::fromString(QString::fromStdString(text), format);
    time.setTimeZone(QTimeZone::utc());
    return time;
}

}  // namespace

std::optional<int> ParseCorrectionText(const std::string& text) {
    const size_t start = !text.empty() && (text[0] == '+' || text[0] == '-') ? 1 : 0;
    if (text.size() <= start || text.size() > 11 ||
        text.find_first_not_of("0123456789", start) != std::string::npos) {
        return std::nullopt;
    }
    const long long seconds = std::stoll(text);
    if (seconds < INT32_MIN || seconds > INT32_MAX) {
        return std::nullopt;
    }
    return static_cast<int>(seconds);
}

std::optional<int> CorrectionFromPhoto(const std::string& captureTime,
                                       const std::string& trueTime) {
    const QDateTime camera = ExifDateTime(captureTime, "yyyy:MM:dd HH:mm:ss");
    QDateTime truth = ExifDateTime(trueTime, "yyyy:MM:dd HH:mm:ss");
    if (!truth.isValid() && camera.isValid()) {
        truth = ExifDateTime(captureTime.substr(0, 11) + trueTime, "yyyy:MM:dd HH:mm:ss");
    }
    if (!camera.isValid() || !truth.isValid()) {
        return std::nullopt;
    }
    const qint64 seconds = truth.secsTo(camera);
    if (seconds < INT32_MIN || seconds > INT32_MAX) {
        return std::nullopt;
    }
    return static_cast<int>(seconds);
}

std::optional<std::string> ChooseClockPhoto(QWidget* parent) {
    const QString path = QFileDialog::getOpenFileName(parent, "Choose a photo of a clock",
                                                      QString(), "JPEG photos (*.jpg *.jpeg)");
    return path.isEmpty() ? std::nullopt : std::optional<std::string>(path.toStdString());
}

std::optional<std::string> AskTrueTime(QWidget* parent, const std::string& captureTime) {
    bool ok = false;
    const QString text = QInputDialog::getText(
        parent, "Set from a photo",
        QString::fromStdString("The camera took this photo at " + captureTime +
                               ".\nWhat time does the photo show (YYYY:MM:DD HH:MM:SS)?"),
        QLineEdit::Normal, QString::fromStdString(captureTime), &ok);
    return ok ? std::optional<std::string>(text.trimmed().toStdString()) : std::nullopt;
}

std::optional<int> AskCorrectionFromPhoto(QWidget* parent, const ClockPhotoServices& services) {
    if (!services.choosePhoto || !services.readCaptureTime || !services.askTrueTime) {
        return std::nullopt;
    }
    const std::optional<std::string> photo = services.choosePhoto(parent);
    const std::optional<std::string> captured =
        photo ? services.readCaptureTime(*photo) : std::nullopt;
    if (!captured) {
        return std::nullopt;
    }
    const std::optional<std::string> truth = services.askTrueTime(parent, *captured);
    return truth ? CorrectionFromPhoto(*captured, *truth) : std::nullopt;
}
