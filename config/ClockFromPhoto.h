// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Setting the camera clock correction from a photo of a clock: the photo, the time it shows, and
// the seconds between.

#include <functional>
#include <optional>
#include <string>

class QWidget;

// The steps of "Set from a photo...", each replaceable in tests.
struct ClockPhotoServices {
    std::function<std::optional<std::string>(QWidget*)> choosePhoto;
    std::function<std::optional<std::string>(const std::string&)> readCaptureTime;
    std::function<std::optional<std::string>(QWidget*, const std::string&)> askTrueTime;
};

// Asks for a photo of a clock and the time it shows: the correction in seconds, or nothing when
// a step is cancelled or gives nothing usable.
std::optional<int> AskCorrectionFromPhoto(QWidget* parent, const ClockPhotoServices& services);

// Qt's file dialog for one JPEG photo.
std::optional<std::string> ChooseClockPhoto(QWidget* parent);
// Asks for the true time a photo shows, "YYYY:MM:DD HH:MM:SS", offering `captureTime`.
std::optional<std::string> AskTrueTime(QWidget* parent, const std::string& captureTime);

// Seconds that make a camera reading `captureTime` show `trueTime` (Exif texts; the true time may
// be "HH:MM:SS" on the capture's date), positive when the camera was ahead; empty when invalid.
std::optional<int> CorrectionFromPhoto(const std::string& captureTime, const std::string& trueTime);

// A correction typed as whole seconds with an optional sign; empty for anything else.
std::optional<int> ParseCorrectionText(const std::string& text);
