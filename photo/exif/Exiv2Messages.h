// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Exiv2's warnings and errors: traced, and collected for a skipped photo's reason.

#include <string>
#include <vector>

// Call before Exiv2 is used; further calls do nothing. Thread-safe.
void RouteExiv2Messages();

// Collects Exiv2's messages on this thread while it lives; an inner capture takes them instead.
class Exiv2MessageCapture {
public:
    Exiv2MessageCapture();
    ~Exiv2MessageCapture();
    Exiv2MessageCapture(const Exiv2MessageCapture&) = delete;
    Exiv2MessageCapture& operator=(const Exiv2MessageCapture&) = delete;

    void Add(const std::string& message) { m_Messages.push_back(message); }
    const std::vector<std::string>& Messages() const { return m_Messages; }
    // "reason (Exiv2: first; second)", or `reason` alone.
    std::string Explain(const std::string& reason) const;

private:
    std::vector<std::string> m_Messages;
    Exiv2MessageCapture* m_Outer;
};
