#pragma once
// Reading a file whole and replacing it so that a crash, a kill or a full disk never leaves
// it damaged: the new content goes to a temporary file in the same folder, is flushed to disk,
// takes the original's permission bits, and is renamed over the original.

#include <functional>
#include <memory>
#include <string>

// The bytes of a whole file.
struct FileBytes {
    std::unique_ptr<unsigned char[]> data;
    size_t size = 0;
};

// Reads the whole file into `content`. Returns false and an error text when it cannot be read.
bool ReadWholeFile(const std::string& path, FileBytes& content, std::string& error);

// Replaces the file at `path` with `content`. A symbolic link is followed: its target is
// replaced and the link stays. On failure returns false with an error text; the original is
// then unchanged and no temporary file is left behind.
bool ReplaceFileDurably(const std::string& path, const unsigned char* data, size_t size,
                        std::string& error);

// Test seam: called before each step of ReplaceFileDurably ("create", "write", "sync",
// "chmod", "rename") with the step's name; returning false makes that step fail.
using DurableWriteFaultHook = std::function<bool(const std::string& step)>;
void SetDurableWriteFaultHook(DurableWriteFaultHook hook);
