// SPDX-License-Identifier: GPL-3.0-or-later
#include "match/ClockCorrectionText.h"

namespace {

uint64_t Magnitude(int64_t value) {
    return value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
}

}  // namespace

std::string DurationText(int64_t seconds) {
    uint64_t rest = Magnitude(seconds);
    const uint64_t days = rest / 86400;
    const uint64_t hours = rest / 3600 % 24;
    const uint64_t minutes = rest / 60 % 60;
    rest %= 60;
    std::string text;
    if (days > 0) {
        text += std::to_string(days) + " d ";
    }
    if (days > 0 || hours > 0) {
        text += std::to_string(hours) + " h ";
    }
    if (days > 0 || hours > 0 || minutes > 0) {
        text += std::to_string(minutes) + " min ";
    }
    return text + std::to_string(rest) + " s";
}

std::string CorrectionText(int64_t correctionSeconds) {
    if (correctionSeconds == 0) {
        return "none";
    }
    return "camera " + DurationText(correctionSeconds) +
           (correctionSeconds > 0 ? " fast" : " slow");
}
