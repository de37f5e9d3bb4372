// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How deeply the elements of an XML text nest, as TinyXML would build them.

#include <cstddef>
#include <string_view>

// True when the elements of `text` nest more than `limit` levels deep. A linear scan that
// follows TinyXML's rules for where each node ends: "<?xml" declarations and element tags end
// at the first '>' outside quotes, other "<?" and "<!" nodes and stray end tags at the first
// '>', comments at "-->", CDATA sections at "]]>"; an end tag closes one level, never below the
// top. It is a fast guard, not the only one: the reader process's stack and time limits stop
// whatever it misjudges.
bool NestsDeeperThan(std::string_view text, size_t limit);
