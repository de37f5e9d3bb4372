// SPDX-License-Identifier: GPL-3.0-or-later
// Batches of new files: when they are due, what a commit in the background holds and reports,
// and how a batch is flushed.
#include "durable/ReplacementBatch.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <stdexcept>

#include "TestSupport.h"

namespace fs = std::filesystem;

namespace {

bool AnyContent(std::string_view) {
    return true;
}

TEST(ReplacementBatchLimits, DueAtTheFirstBoundReached) {
    TempDir dir;
    const auto pending = [&dir](size_t bytes) {
        PendingReplacement replacement;
        EXPECT_TRUE(replacement.file.Create(dir.Path()).ok());
        const std::string content(bytes, 'x');
        EXPECT_TRUE(
            replacement.file
                .Append(reinterpret_cast<const unsigned char*>(content.data()), content.size())
                .ok());
        return replacement;
    };
    ReplacementBatch byCount(BatchLimits{3, 1000000, std::chrono::hours(1)}, AnyContent);
    EXPECT_FALSE(byCount.IsDue());
    byCount.Add(pending(10));
    byCount.Add(pending(10));
    EXPECT_FALSE(byCount.IsDue());
    byCount.Add(pending(10));
    EXPECT_TRUE(byCount.IsDue());

    ReplacementBatch byBytes(BatchLimits{100, 1000, std::chrono::hours(1)}, AnyContent);
    byBytes.Add(pending(600));
    EXPECT_FALSE(byBytes.IsDue());
    byBytes.Add(pending(600));
    EXPECT_TRUE(byBytes.IsDue());

    ReplacementBatch byAge(BatchLimits{100, 1000000, std::chrono::milliseconds(30)}, AnyContent);
    byAge.Add(pending(10));
    EXPECT_FALSE(byAge.IsDue());
    usleep(40000);
    EXPECT_TRUE(byAge.IsDue());
    byAge.Abandon();
    EXPECT_FALSE(byAge.IsDue());
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 0);
}

// The file at `path`, opened to be replaced whole.
OpenOriginal Opened(const std::string& path) {
    OpenOriginal original;
    original.fd.Reset(open(path.c_str(), O_RDONLY | O_CLOEXEC));
    EXPECT_EQ(fstat(original.fd.Get(), &original.info), 0);
    original.target = path;
    original.tailOffset = static_cast<uint64_t>(original.info.st_size);
    return original;
}

// The replacement of the file at `path` by `content`.
PendingReplacement Prepared(const std::string& path, const std::string& content,
                            const WriteFaults& faults) {
    OpenOriginal original = Opened(path);
    PendingReplacement pending;
    const Status prepared =
        PrepareReplacement(path, original, reinterpret_cast<const unsigned char*>(content.data()),
                           content.size(), pending, &faults);
    EXPECT_TRUE(prepared.ok()) << prepared.message();
    return pending;
}

struct stat StatOf(const std::string& path) {
    struct stat info {};
    EXPECT_EQ(stat(path.c_str(), &info), 0);
    return info;
}

TEST(ReplacementBatchInBackground, HoldsItsPhotosUntilFinishedAndReportsWhatItLeftNextTime) {
    TempDir dir;
    const std::string a = dir.File("a.jpg");
    const std::string b = dir.File("b.jpg");
    WriteFileText(a, "original a");
    WriteFileText(b, "original b");
    const struct stat aBefore = StatOf(a);
    int flushes = 0;
    WriteFaults faults;
    faults.SetHook([&](const std::string& step) {
        return step != "sync" || ++flushes != 1;  // a's new file cannot be flushed
    });
    ReplacementBatch batch(BatchLimits(), AnyContent);
    batch.Add(Prepared(a, "new a", faults));
    EXPECT_TRUE(batch.CommitInBackground().empty());
    EXPECT_TRUE(batch.IsEmpty());
    EXPECT_TRUE(batch.Holds(aBefore));  // opening it again now would break the commit's lease
    batch.Add(Prepared(b, "new b", faults));
    const std::vector<NotReplaced> left = batch.CommitInBackground();
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0].path, a);
    EXPECT_FALSE(batch.Holds(aBefore));
    EXPECT_TRUE(batch.Commit().empty());
    EXPECT_EQ(ReadFileText(a), "original a");
    EXPECT_EQ(ReadFileText(b), "new b");
    EXPECT_EQ(Leftovers(dir.Path()).size(), 0u);
}

TEST(ReplacementBatchInBackground, AStepThatThrowsLeavesEveryPhotoNotYetReplacedAsItWas) {
    TempDir dir;
    const std::vector<std::string> photos = {dir.File("a.jpg"), dir.File("b.jpg"),
                                             dir.File("c.jpg"), dir.File("d.jpg")};
    WriteFaults faults;  // before the batch, whose files ask it until they are gone
    ReplacementBatch batch(BatchLimits(), AnyContent);
    for (const std::string& path : photos) {
        WriteFileText(path, "original");
        batch.Add(Prepared(path, "new", faults));
    }
    WriteFileText(dir.File("b.part"), "another program's");  // which then replaces b
    ASSERT_EQ(rename(dir.File("b.part").c_str(), photos[1].c_str()), 0);
    int renames = 0;
    faults.SetHook([&](const std::string& step) {
        if (step == "rename" && ++renames == 2) {  // c's
            throw std::runtime_error("the disk went away");
        }
        return true;
    });
    EXPECT_TRUE(batch.CommitInBackground().empty());  // on a thread of its own: nothing escapes
    const std::vector<NotReplaced> left = batch.Commit();
    ASSERT_EQ(left.size(), 3u);
    EXPECT_EQ(left[0].path, photos[1]);
    EXPECT_NE(left[0].reason.find("it changed"), std::string::npos) << left[0].reason;
    EXPECT_EQ(left[1].path, photos[2]);
    EXPECT_EQ(left[1].reason, "the disk went away");
    EXPECT_EQ(left[2].path, photos[3]);
    EXPECT_EQ(left[2].reason, "the disk went away");
    EXPECT_EQ(ReadFileText(photos[0]), "new");
    EXPECT_EQ(ReadFileText(photos[1]), "another program's");
    EXPECT_EQ(ReadFileText(photos[2]), "original");
    EXPECT_EQ(ReadFileText(photos[3]), "original");
    EXPECT_EQ(Leftovers(dir.Path()).size(), 0u);
}

TEST(ReplacementBatchFlush, OneFlushOfTheFileSystemServesTheBatchAndAFailedOneEachFileAlone) {
    TempDir dir;
    const std::vector<std::string> photos = {dir.File("a.jpg"), dir.File("b.jpg"),
                                             dir.File("c.jpg")};
    int fileSystemFlushes = 0;
    int fileFlushes = 0;
    bool fileSystemFails = false;
    WriteFaults faults;
    faults.SetHook([&](const std::string& step) {
        fileSystemFlushes += step == "syncfs" ? 1 : 0;
        fileFlushes += step == "sync" ? 1 : 0;
        if (step == "syncfs" && fileSystemFails) {
            errno = EIO;
            return false;
        }
        return true;
    });
    for (const bool fails : {false, true}) {
        fileSystemFails = fails;
        fileSystemFlushes = fileFlushes = 0;
        ReplacementBatch batch(BatchLimits(), AnyContent);
        for (const std::string& path : photos) {
            WriteFileText(path, "original");
            batch.Add(Prepared(path, "new", faults));
        }
        EXPECT_TRUE(batch.Commit().empty()) << fails;
        EXPECT_EQ(fileSystemFlushes, 1) << fails;
        // Each file is asked once, and once more when it is flushed alone.
        EXPECT_EQ(fileFlushes, fails ? 6 : 3) << fails;
        for (const std::string& path : photos) {
            EXPECT_EQ(ReadFileText(path), "new") << fails;
        }
    }
}

}  // namespace

TEST(ReplacementPieces, TheNewFileIsItsPiecesInOrderAndARangeBeyondTheOriginalMakesNone) {
    TempDir dir;
    const std::string path = dir.File("photo.jpg");
    WriteFileText(path, "0123456789");
    OpenOriginal original = Opened(path);
    const NewContent content{OriginalRange(0, 2), GivenBytes("ab"), OriginalRange(4, 6),
                             OriginalRange(10, 0), GivenBytes("tail")};
    EXPECT_EQ(ContentSize(content), 14u);
    PendingReplacement pending;
    ASSERT_TRUE(PrepareReplacement(path, original, content, pending).ok());
    ReplacementBatch batch(BatchLimits(), AnyContent);
    batch.Add(std::move(pending));
    EXPECT_TRUE(batch.Commit().empty());
    EXPECT_EQ(ReadFileText(path), "01ab456789tail");

    OpenOriginal again = Opened(path);
    PendingReplacement beyond;
    const Status refused =
        PrepareReplacement(path, again, NewContent{OriginalRange(10, 5)}, beyond);
    EXPECT_FALSE(refused.ok());
    EXPECT_TRUE(again.fd.Valid());  // kept for another try
    EXPECT_EQ(Leftovers(dir.Path()).size(), 0u);
    EXPECT_EQ(ReadFileText(path), "01ab456789tail");
}
