// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How deeply the elements of an XML text nest, as TinyXML would build them.

#include <cstddef>
#include <string_view>

// True when the elements of `text` nest more than `limit` levels deep, found by a linear scan.
// A fast guard only: the reader process's limits stop whatever it misjudges.
bool NestsDeeperThan(std::string_view text, size_t limit);
