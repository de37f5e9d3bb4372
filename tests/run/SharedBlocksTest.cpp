// SPDX-License-Identifier: GPL-3.0-or-later
// A new file's copy of the photo's image data shares the original's blocks on file systems
// that can (btrfs, XFS), when the new header leaves the image data at the same place within a
// block; elsewhere, or misaligned, it is an ordinary copy, and where the file system is known
// to share nothing, a tagged photo's header is not padded for it. Needs root and mkfs.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/fiemap.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <random>
#include <vector>

#include "EngineFixture.h"
#include "JpegFixtures.h"
#include "TestSupport.h"
#include "durable/BlockSharing.h"
#include "durable/FileIo.h"
#include "durable/TemporaryFile.h"

namespace fs = std::filesystem;

namespace {

// A file system of `type` in a sparse image file, mounted through a loop device while this
// object lives; not mounted where this process may not or the tools are missing.
class LoopFileSystem {
public:
    LoopFileSystem(const std::string& type, const TempDir& dir)
        : m_Image(dir.File(type + ".img")), m_Mount(dir.File(type)) {
        fs::create_directories(m_Mount);
        const std::string make = "truncate -s 320M '" + m_Image + "' && mkfs." + type + " -q '" +
                                 m_Image + "' >/dev/null 2>&1 && mount -o loop '" + m_Image +
                                 "' '" + m_Mount + "' 2>/dev/null";
        m_Mounted = geteuid() == 0 && std::system(make.c_str()) == 0;
    }
    ~LoopFileSystem() {
        if (m_Mounted) {
            const std::string unmount = "umount '" + m_Mount + "'";
            EXPECT_EQ(std::system(unmount.c_str()), 0);
        }
    }
    bool Mounted() const { return m_Mounted; }
    std::string File(const std::string& name) const { return m_Mount + "/" + name; }

private:
    std::string m_Image;
    std::string m_Mount;
    bool m_Mounted = false;
};

std::string RandomBytes(size_t size) {
    std::mt19937 random(11);
    std::string bytes(size, '\0');
    for (char& byte : bytes) {
        byte = static_cast<char>(random());
    }
    return bytes;
}

// Bytes of the open file `fd` that lie in extents it shares with another file.
uint64_t SharedBytes(int fd) {
    std::vector<char> buffer(sizeof(fiemap) + 512 * sizeof(fiemap_extent));
    auto* map = reinterpret_cast<fiemap*>(buffer.data());
    map->fm_length = FIEMAP_MAX_OFFSET;
    map->fm_flags = FIEMAP_FLAG_SYNC;
    map->fm_extent_count = 512;
    if (ioctl(fd, FS_IOC_FIEMAP, map) != 0) {
        return 0;
    }
    uint64_t shared = 0;
    for (uint32_t i = 0; i < map->fm_mapped_extents; ++i) {
        if (map->fm_extents[i].fe_flags & FIEMAP_EXTENT_SHARED) {
            shared += map->fm_extents[i].fe_length;
        }
    }
    return shared;
}

// Writes a new file of `header` followed by `original` from `offset`, named `name`; returns
// its descriptor, or -1.
int NewFileFrom(const std::string& original, const std::string& header, uint64_t offset,
                const std::string& name) {
    const UniqueFd source(open(original.c_str(), O_RDONLY));
    TemporaryFile file;
    const uint64_t size = fs::file_size(original);
    Status written = file.Create(fs::path(original).parent_path().string());
    if (written.ok()) {
        written = file.Append(reinterpret_cast<const unsigned char*>(header.data()), header.size());
    }
    if (written.ok()) {
        written = file.AppendFrom(source.Get(), offset, size - offset);
    }
    if (written.ok()) {
        written = file.Sync();
    }
    if (written.ok()) {
        written = file.Replace(name, nullptr);
    }
    EXPECT_TRUE(written.ok()) << written.message();
    return open(name.c_str(), O_RDONLY);
}

TEST(SharedBlocks, AlignedImageDataIsSharedOnCopyOnWriteFileSystemsAndCopiedElsewhere) {
    TempDir dir;
    const std::string image = RandomBytes(3 << 20);
    const uint64_t offset = 747;  // where the image data starts in the original
    for (const std::string type : {"btrfs", "xfs", "ext4"}) {
        LoopFileSystem loop(type, dir);
        if (!loop.Mounted()) {
            std::printf("no %s file system could be mounted here: skipped\n", type.c_str());
            continue;
        }
        const std::string original = loop.File("photo.jpg");
        WriteFileText(original, std::string(offset, 'h') + image);
        sync();
        // The new header leaves the image data at the original's place within a block.
        const std::string aligned(offset + 146 + (kCloneBlock - 146), 'n');
        const int alignedFd = NewFileFrom(original, aligned, offset, loop.File("aligned.jpg"));
        const int shiftedFd =
            NewFileFrom(original, std::string(offset + 146, 'n'), offset, loop.File("shifted.jpg"));
        const std::string alignedCopy = ReadFileText(loop.File("aligned.jpg"));
        const std::string shiftedCopy = ReadFileText(loop.File("shifted.jpg"));
        EXPECT_TRUE(alignedCopy == aligned + image) << type << ": " << alignedCopy.size();
        EXPECT_TRUE(shiftedCopy == std::string(offset + 146, 'n') + image)
            << type << ": " << shiftedCopy.size();
        const bool copyOnWrite = type != "ext4";
        EXPECT_EQ(ProbeBlockSharing(loop.File(".")),
                  copyOnWrite ? BlockSharing::Shares : BlockSharing::DoesNot)
            << type;
        const uint64_t shared = SharedBytes(alignedFd);
        EXPECT_EQ(shared >= image.size() * 95 / 100, copyOnWrite) << type << ": " << shared;
        EXPECT_EQ(SharedBytes(shiftedFd), 0u) << type;
        close(alignedFd);
        close(shiftedFd);
    }
}

// A run pads a photo's new header to keep its image data's place within a block unless the file
// system is known not to share that data: there the photo would only grow by the padding. The
// probe leaves nothing behind; where it cannot be made, the header is padded as it always was.
TEST(SharedBlocks, ARunPadsTheHeaderUnlessTheFileSystemCannotShareTheImageData) {
    TempDir dir;
    EXPECT_EQ(ProbeBlockSharing(dir.File("no such folder")), BlockSharing::Unknown);
    const std::string image = RandomBytes(1 << 20);
    for (const std::string type : {"btrfs", "ext4"}) {
        LoopFileSystem loop(type, dir);
        if (!loop.Mounted()) {
            std::printf("no %s file system could be mounted here: skipped\n", type.c_str());
            continue;
        }
        const std::string path = loop.File("IMG_0001.JPG");
        WriteJpegWithExif(path, {{"Exif.Photo.DateTimeDigitized", "2007:06:01 12:05:30"}});
        const std::string original = ReadFileText(path);
        WriteFileText(path, original.substr(0, original.size() - 2) + image + "\xFF\xD9");
        const uint64_t before = fs::file_size(path);
        // A copy that shares the original's blocks keeps them once the original is gone.
        fs::create_directory(loop.File("kept"));
        const UniqueFd from(open(path.c_str(), O_RDONLY));
        const UniqueFd kept(open(loop.File("kept/original").c_str(), O_WRONLY | O_CREAT, 0600));
        ioctl(kept.Get(), FICLONE, from.Get());  // fails where blocks are not shared
        TestEngine engine;
        engine.settings.m_ToleranceHours = "0";
        engine.settings.m_ToleranceMinutes = "2";
        engine.AddPoint(48.137154, 11.575382, 519.6, UtcCount(2007, 6, 1, 12, 4, 50));
        EXPECT_EQ(engine.ProcessHotFolder(loop.File(".")).tagged, 1u) << type;
        const uint64_t after = fs::file_size(path);
        const UniqueFd tagged(open(path.c_str(), O_RDONLY));
        if (type == "btrfs") {
            EXPECT_EQ(after % kCloneBlock, before % kCloneBlock);
            EXPECT_GE(SharedBytes(tagged.Get()), image.size() * 9 / 10);
        } else {
            EXPECT_LT(after, before + 512) << "the header grew by " << after - before;
            EXPECT_EQ(SharedBytes(tagged.Get()), 0u);
        }
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(loop.File("."))) {
            if (entry.is_regular_file()) {
                names.push_back(entry.path().filename().string());
            }
        }
        EXPECT_EQ(names, (std::vector<std::string>{"IMG_0001.JPG"})) << type;
    }
}

}  // namespace
