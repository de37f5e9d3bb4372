// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Exiv2's warnings and errors: traced to the debugger output, and collected for the reason of
// a photo that is skipped.

#include <string>
#include <vector>

// Makes Exiv2 send its messages here rather than to standard error. Call once before Exiv2 is
// used; further calls do nothing. Thread-safe.
void RouteExiv2Messages();

// Collects the messages that Exiv2 reports on this thread while it lives (they are traced as
// well). Captures nest: an inner one collects them instead of the outer one until it goes.
class Exiv2MessageCapture {
public:
    Exiv2MessageCapture();
    ~Exiv2MessageCapture();
    Exiv2MessageCapture(const Exiv2MessageCapture&) = delete;
    Exiv2MessageCapture& operator=(const Exiv2MessageCapture&) = delete;

    void Add(const std::string& message) { m_Messages.push_back(message); }
    const std::vector<std::string>& Messages() const { return m_Messages; }
    // `reason`, followed by the messages collected when there are any:
    // "reason (Exiv2: first; second)".
    std::string Explain(const std::string& reason) const;

private:
    std::vector<std::string> m_Messages;
    Exiv2MessageCapture* m_Outer;
};
