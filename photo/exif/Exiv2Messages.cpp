// SPDX-License-Identifier: GPL-3.0-or-later
#include "photo/exif/Exiv2Messages.h"

#include <exiv2/exiv2.hpp>

#include <mutex>

#include "platform/DebugOutput.h"

namespace {

thread_local Exiv2MessageCapture* t_Capture = nullptr;

// Exiv2's messages end with a line feed; the reason puts them on one line.
std::string Trimmed(std::string message) {
    while (!message.empty() && (message.back() == '\n' || message.back() == ' ')) {
        message.pop_back();
    }
    return message;
}

void OnExiv2Message(int level, const char* message) {
    const std::string text = message == nullptr ? std::string() : message;
    OutputDebugStringA(std::string(level >= Exiv2::LogMsg::error ? "Exiv2 error: " : "Exiv2: ") +
                       text);
    if (t_Capture != nullptr && !Trimmed(text).empty()) {
        t_Capture->Add(Trimmed(text));
    }
}

}  // namespace

void RouteExiv2Messages() {
    static std::once_flag once;
    std::call_once(once, [] { Exiv2::LogMsg::setHandler(OnExiv2Message); });
}

Exiv2MessageCapture::Exiv2MessageCapture() : m_Outer(t_Capture) {
    t_Capture = this;
}

Exiv2MessageCapture::~Exiv2MessageCapture() {
    t_Capture = m_Outer;
}

std::string Exiv2MessageCapture::Explain(const std::string& reason) const {
    if (m_Messages.empty()) {
        return reason;
    }
    std::string text = reason + " (Exiv2: ";
    for (size_t i = 0; i < m_Messages.size(); ++i) {
        text += (i > 0 ? "; " : "") + m_Messages[i];
    }
    return text + ")";
}
