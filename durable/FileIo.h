// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The system calls of a durable write: writing, in-kernel copying, block sharing, folder flushing.

#include <sys/types.h>
#include <cstddef>
#include <cstdint>

#include <string>

#include "platform/Status.h"

// The block size that cloned ranges are aligned to.
inline constexpr uint64_t kCloneBlock = 4096;

// Writes all `size` bytes at the file position. OutOfSpace when the disk is full.
Status WriteAll(int fd, const unsigned char* data, size_t size, const std::string& what);

// Appends `length` bytes of `source` at `offset` to `target` (size `at`): blocks shared where
// aligned alike and the file system can, else copied. Fails also when the source ends early.
Status CopyOrClone(int source, uint64_t offset, uint64_t length, int target, uint64_t at,
                   const std::string& what);

// Shares `length` bytes of `source` at `offset` with `target` at `at` (block-aligned), moving the
// target's position past them. False, with errno, where the file system cannot.
bool CloneRange(int source, uint64_t offset, uint64_t length, int target, uint64_t at);

// The process's file-creation mask, read without changing it; 022 where it cannot be read.
mode_t FileCreationMask();

// Flushes a folder's entries (renames into it) to disk. False when it cannot be flushed.
bool SyncFolder(const std::string& folder);
