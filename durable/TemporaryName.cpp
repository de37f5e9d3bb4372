// SPDX-License-Identifier: GPL-3.0-or-later
#include "durable/TemporaryName.h"

#include <algorithm>
#include <cstring>
#include <random>

namespace {

const char kTemporaryMark[] = ".fenrik-";
constexpr size_t kMarkLength = sizeof kTemporaryMark - 1;
constexpr size_t kRandomLength = 6;
const char kRandomLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

}  // namespace

std::string RandomTemporaryName() {
    thread_local std::mt19937 random{std::random_device{}()};
    std::uniform_int_distribution<size_t> pick(0, sizeof kRandomLetters - 2);
    std::string name = kTemporaryMark;
    for (size_t i = 0; i < kRandomLength; ++i) {
        name += kRandomLetters[pick(random)];
    }
    return name;
}

bool IsTemporaryName(const std::string& name) {
    return name.size() == kMarkLength + kRandomLength &&
           name.compare(0, kMarkLength, kTemporaryMark) == 0 &&
           std::all_of(name.begin() + kMarkLength, name.end(),
                       [](char c) { return c != '\0' && std::strchr(kRandomLetters, c); });
}
