// SPDX-License-Identifier: GPL-3.0-or-later
// Writing a tagged photo: the same file as before to its user, only with the GPS tags; or,
// where that cannot be, the photo exactly as it was and a "Skipping" line.
#include <fcntl.h>
#include <gtest/gtest.h>

#include <dirent.h>
#include <linux/fs.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <thread>

#include <exiv2/exiv2.hpp>

#include <cstring>
#include <filesystem>
#include <functional>
#include <mutex>

#include "EngineFixture.h"
#include "JpegFixtures.h"
#include "TestSupport.h"
#include "durable/TemporaryFile.h"
#include "photo/PhotoSource.h"

namespace fs = std::filesystem;

namespace {

const char kLat[] = "Exif.GPSInfo.GPSLatitude";

// Runs `work` in a child process under the unprivileged user 65534 and returns what it sent
// to the debugger output; empty with `ran` false when the child could not be started.
std::string RunAsNobody(const std::function<void()>& work, bool& ran) {
    int pipeFds[2];
    ran = false;
    if (pipe(pipeFds) != 0) {
        return std::string();
    }
    const pid_t child = fork();
    if (child == 0) {
        close(pipeFds[0]);
        if (setgid(65534) != 0 || setuid(65534) != 0) {
            _exit(3);
        }
        std::string text;
        {
            DebugCapture capture;
            work();
            text = capture.Text();
        }
        const ssize_t ignored = write(pipeFds[1], text.data(), text.size());
        (void)ignored;
        _exit(0);
    }
    close(pipeFds[1]);
    std::string text;
    char buffer[4096];
    ssize_t n;
    while ((n = read(pipeFds[0], buffer, sizeof buffer)) > 0) {
        text.append(buffer, static_cast<size_t>(n));
    }
    close(pipeFds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    ran = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return text;
}

std::string Attribute(const std::string& path, const char* name) {
    char value[256];
    const ssize_t n = getxattr(path.c_str(), name, value, sizeof value);
    return n < 0 ? std::string("<none>") : std::string(value, static_cast<size_t>(n));
}

// A POSIX access ACL in its extended-attribute form: owner rw, user 65534 r, group r,
// mask r, others nothing.
std::string AccessAcl() {
    struct Entry {
        uint16_t tag;
        uint16_t perm;
        uint32_t id;
    };
    const uint32_t version = 2;
    const Entry entries[] = {{0x01, 6, 0xFFFFFFFF},
                             {0x02, 4, 65534},
                             {0x04, 4, 0xFFFFFFFF},
                             {0x10, 4, 0xFFFFFFFF},
                             {0x20, 0, 0xFFFFFFFF}};
    std::string blob(reinterpret_cast<const char*>(&version), sizeof version);
    blob.append(reinterpret_cast<const char*>(entries), sizeof entries);
    return blob;
}

class PhotoWrite : public PhotoTaggingTest {
protected:
    std::string Photo(const std::string& name) {
        const std::string path = dir.File(name);
        WriteJpegWithExif(path, {{"Exif.Photo.DateTimeDigitized", "2007:06:01 12:05:30"}});
        return path;
    }
    bool Tagged(const std::string& path) { return ReadExif(path).count(kLat) == 1; }
    std::vector<std::string> Leftovers() {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir.Path())) {
            if (entry.path().filename().string().find(".fenrik-") != std::string::npos) {
                names.push_back(entry.path().filename().string());
            }
        }
        return names;
    }
    // Tags the folder and returns the debugger output of the run.
    std::string Run() {
        DebugCapture capture;
        engine.ProcessHotFolder(dir.Path());
        return capture.Text();
    }
    // A writer that opens the displaced original (as one that found the photo before the swap)
    // at the write step `at`, and waits in its open: it gets the original back, with its bytes.
    void ExpectALateWriterAt(const std::string& at) {
        const std::string path = Photo("photo.jpg");
        const std::string original = ReadFileText(path);
        pid_t writer = -1;
        engine.SetWriteFaultHook([&](const std::string& step) {
            if (step == at && writer < 0) {
                const std::vector<std::string> displaced = Leftovers();
                EXPECT_EQ(displaced.size(), 1u);
                if (displaced.size() == 1) {
                    writer = StartAppender(dir.File(displaced[0]));
                    EXPECT_TRUE(WaitUntilALeaseIsBreaking(dir.File(displaced[0])));
                }
            }
            return true;
        });
        const std::string trace = Run();
        engine.SetWriteFaultHook(nullptr);
        EXPECT_EQ(WaitFor(writer), 0);
        EXPECT_NE(trace.find("Skipping " + path + ": another program opened it"), std::string::npos)
            << trace;
        EXPECT_EQ(ReadFileText(path), original + "tail");
        EXPECT_TRUE(Leftovers().empty());
    }
    struct stat Stat(const std::string& path) {
        struct stat info {};
        EXPECT_EQ(stat(path.c_str(), &info), 0);
        return info;
    }
};

TEST_F(PhotoWrite, OwnerGroupModeAttributesAndAclAreKept) {
    const std::string path = Photo("photo.jpg");
    const bool root = geteuid() == 0;
    if (root) {
        ASSERT_EQ(chown(path.c_str(), 65534, 65534), 0);
    }
    ASSERT_EQ(chmod(path.c_str(), 0640), 0);
    if (setxattr(path.c_str(), "user.xdg.comment", "harbour", 7, 0) != 0) {
        GTEST_SKIP() << "this file system keeps no extended attributes";
    }
    const bool trusted = setxattr(path.c_str(), "trusted.fenrik", "t", 1, 0) == 0;
    const std::string acl = AccessAcl();
    const bool hasAcl =
        setxattr(path.c_str(), "system.posix_acl_access", acl.data(), acl.size(), 0) == 0;
    const struct stat before = Stat(path);
    const std::string aclBefore = Attribute(path, "system.posix_acl_access");
    EXPECT_EQ(Run().find("Skipping"), std::string::npos);
    const struct stat after = Stat(path);
    EXPECT_TRUE(Tagged(path));
    EXPECT_EQ(after.st_uid, before.st_uid);
    EXPECT_EQ(after.st_gid, before.st_gid);
    EXPECT_EQ(after.st_mode, before.st_mode);
    EXPECT_EQ(Attribute(path, "user.xdg.comment"), "harbour");
    if (trusted) {
        EXPECT_EQ(Attribute(path, "trusted.fenrik"), "t");
    }
    if (hasAcl) {
        EXPECT_EQ(Attribute(path, "system.posix_acl_access"), aclBefore);
    } else {
        std::printf("ACL part skipped: this file system takes no ACLs\n");
    }
    if (!root) {
        std::printf("owner part skipped: only the superuser may give a file to user 65534\n");
    }
}

TEST_F(PhotoWrite, FileFlagsAreKept) {
    const std::string path = Photo("photo.jpg");
    const int fd = open(path.c_str(), O_RDONLY);
    int flags = 0;
    const bool set =
        ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0 &&
        (flags |= FS_NODUMP_FL | FS_NOATIME_FL, ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0);
    close(fd);
    if (!set) {
        GTEST_SKIP() << "this file system keeps no file flags";
    }
    EXPECT_EQ(Run().find("Skipping"), std::string::npos);
    EXPECT_TRUE(Tagged(path));
    const int tagged = open(path.c_str(), O_RDONLY);
    int after = 0;
    EXPECT_EQ(ioctl(tagged, FS_IOC_GETFLAGS, &after), 0);
    close(tagged);
    EXPECT_EQ(after & (FS_NODUMP_FL | FS_NOATIME_FL), FS_NODUMP_FL | FS_NOATIME_FL);
}

TEST_F(PhotoWrite, AclInheritedFromTheFolderIsNotAddedToAPhotoWithoutOne) {
    const std::string path = Photo("photo.jpg");
    const std::string acl = AccessAcl();  // the same layout serves as a default ACL
    if (setxattr(dir.Path().c_str(), "system.posix_acl_default", acl.data(), acl.size(), 0) != 0) {
        GTEST_SKIP() << "this file system takes no default ACLs";
    }
    Run();
    EXPECT_TRUE(Tagged(path));
    EXPECT_EQ(Attribute(path, "system.posix_acl_access"), "<none>");
}

TEST_F(PhotoWrite, HardLinkedPhotoIsSkippedAndBothNamesKeepTheOriginal) {
    const std::string path = Photo("photo.jpg");
    fs::create_directory(dir.File("elsewhere"));
    const std::string other = dir.File("elsewhere/same.jpg");
    ASSERT_EQ(link(path.c_str(), other.c_str()), 0);
    const std::string original = ReadFileText(path);
    const std::string trace = Run();
    EXPECT_NE(trace.find("Skipping " + path + ": it has 2 hard links"), std::string::npos) << trace;
    EXPECT_EQ(ReadFileText(path), original);
    EXPECT_EQ(ReadFileText(other), original);
    EXPECT_EQ(Stat(path).st_nlink, 2u);
}

TEST_F(PhotoWrite, PhotoWithoutWriteBitsIsSkippedAsReadOnly) {
    const std::string path = Photo("photo.jpg");
    ASSERT_EQ(chmod(path.c_str(), 0444), 0);
    const std::string original = ReadFileText(path);
    const std::string trace = Run();
    EXPECT_NE(trace.find("Skipping " + path + ": read-only\n"), std::string::npos) << trace;
    EXPECT_EQ(ReadFileText(path), original);
    EXPECT_EQ(Stat(path).st_mode & 0777, 0444u);
}

TEST_F(PhotoWrite, UnprivilegedUserMayNotTagAnotherUsersPhoto) {
    if (geteuid() != 0) {
        GTEST_SKIP() << "needs the superuser to set up photos of other users";
    }
    chmod(dir.Path().c_str(), 0777);  // the user may write the folder, not the photos
    const std::string readOnly = Photo("root.jpg");  // owned by root, 0644
    chmod(readOnly.c_str(), 0644);
    const std::string writable = Photo("shared.jpg");  // someone else's, writable by all
    ASSERT_EQ(chown(writable.c_str(), 12345, 12345), 0);
    chmod(writable.c_str(), 0666);
    const std::string own = Photo("own.jpg");
    ASSERT_EQ(chown(own.c_str(), 65534, 65534), 0);
    const std::string before[] = {ReadFileText(readOnly), ReadFileText(writable)};
    bool ran = false;
    const std::string trace = RunAsNobody([this] { engine.ProcessHotFolder(dir.Path()); }, ran);
    ASSERT_TRUE(ran);
    EXPECT_NE(trace.find("Skipping " + readOnly + ": read-only\n"), std::string::npos) << trace;
    EXPECT_NE(trace.find("Skipping " + writable + ": it belongs to user 12345"), std::string::npos)
        << trace;
    EXPECT_EQ(ReadFileText(readOnly), before[0]);
    EXPECT_EQ(ReadFileText(writable), before[1]);
    EXPECT_EQ(Stat(writable).st_uid, 12345u);
    EXPECT_TRUE(Tagged(own));
    EXPECT_EQ(Stat(own).st_uid, 65534u);
    EXPECT_TRUE(Leftovers().empty());
}

TEST_F(PhotoWrite, BytesAppendedWhileTaggingAreNotLostAndTheNextRunTagsThem) {
    const std::string path = Photo("photo.jpg");
    const std::string appended(100000, 'z');
    const std::string original = ReadFileText(path);
    std::thread writer;
    engine.SetWriteFaultHook([&](const std::string& step) {
        if (step == "sync" && !writer.joinable()) {  // between reading the photo and replacing it
            writer = std::thread([&] {  // waits in its open until the batch lets go of the photo
                std::FILE* out = std::fopen(path.c_str(), "ab");
                std::fwrite(appended.data(), 1, appended.size(), out);
                std::fclose(out);
            });
            EXPECT_TRUE(WaitUntilALeaseIsBreaking(path));  // the writer waits in its open
        }
        return true;
    });
    const std::string trace = Run();
    engine.SetWriteFaultHook(nullptr);
    writer.join();
    // The writer's open breaks the batch's lease, or, where there are no leases, its bytes
    // change the photo: either way the photo is left to it.
    EXPECT_NE(trace.find("Skipping " + path + ": "), std::string::npos) << trace;
    EXPECT_NE(trace.find("the next run will tag it"), std::string::npos) << trace;
    EXPECT_EQ(ReadFileText(path), original + appended);
    EXPECT_TRUE(Leftovers().empty());

    Run();
    const std::string tagged = ReadFileText(path);
    EXPECT_TRUE(Tagged(path));
    EXPECT_EQ(tagged.substr(tagged.size() - appended.size()), appended);
}

TEST_F(PhotoWrite, PhotoReplacedByAnotherFileWhileTaggingIsLeftToTheNewFile) {
    const std::string path = Photo("photo.jpg");
    const std::string newer = dir.File("newer.tmp");
    WriteJpegWithExif(newer, {{"Exif.Image.Make", "Other"}});
    const std::string content = ReadFileText(newer);
    engine.SetWriteFaultHook([&](const std::string& step) {
        if (step == "sync") {  // a copy that finishes by a rename of its own
            rename(newer.c_str(), path.c_str());
        }
        return true;
    });
    const std::string trace = Run();
    EXPECT_NE(trace.find("Skipping " + path + ": it changed"), std::string::npos) << trace;
    EXPECT_EQ(ReadFileText(path), content);
}

TEST_F(PhotoWrite, PhotoOpenForWritingElsewhereIsLeftAlone) {
    const std::string path = Photo("copying.jpg");
    const std::string original = ReadFileText(path);
    const int writer = open(path.c_str(), O_WRONLY | O_APPEND);  // a copy still in progress
    ASSERT_GE(writer, 0);
    const std::string trace = Run();
    close(writer);
    if (trace.find("Skipping") == std::string::npos) {
        GTEST_SKIP() << "this file system keeps no leases";
    }
    EXPECT_NE(trace.find("Skipping " + path + ": it is open in another program"), std::string::npos)
        << trace;
    EXPECT_EQ(ReadFileText(path), original);
    EXPECT_TRUE(Leftovers().empty());
}

TEST_F(PhotoWrite, APhotoThatAnotherProgramOnlyReadsIsTagged) {
    const std::string path = Photo("viewed.jpg");
    const int reader = open(path.c_str(), O_RDONLY);  // a viewer or a thumbnailer
    ASSERT_GE(reader, 0);
    std::string trace;
    std::thread again;
    engine.SetWriteFaultHook([&](const std::string& step) {
        if (step == "sync" && !again.joinable()) {  // and one that opens it during the batch
            again = std::thread([&] { close(open(path.c_str(), O_RDONLY)); });
            again.join();
        }
        return true;
    });
    trace = Run();
    engine.SetWriteFaultHook(nullptr);
    close(reader);
    EXPECT_EQ(trace.find("Skipping"), std::string::npos) << trace;
    EXPECT_TRUE(Tagged(path));
}

TEST_F(PhotoWrite, WritesOfAProgramThatOpensThePhotoWhileItIsTaggedAreNotLost) {
    // While the batch is flushed, and at the last moment before the new file takes the name.
    for (const char* moment : {"sync", "rename"}) {
        const std::string path = Photo("photo.jpg");
        const std::string original = ReadFileText(path);
        pid_t writer = -1;
        engine.SetWriteFaultHook([&](const std::string& step) {
            if (step == moment && writer < 0) {
                writer = StartAppender(path);
                EXPECT_TRUE(WaitUntilALeaseIsBreaking(path));  // the writer waits in its open
            }
            return true;
        });
        const std::string trace = Run();
        engine.SetWriteFaultHook(nullptr);
        EXPECT_EQ(WaitFor(writer), 0) << moment;
        EXPECT_NE(trace.find("Skipping " + path + ": another program opened it"), std::string::npos)
            << moment << trace;
        EXPECT_EQ(ReadFileText(path), original + "tail") << moment;
        EXPECT_TRUE(Leftovers().empty()) << moment;
    }
}

// An open that found the original before the swap may reach it only after the new file has
// the name (its process was held up in between): as the displaced original, it keeps a name
// and its lease until the batch is in place, and such a late writer gives it its name back.
TEST_F(PhotoWrite, AWriterThatReachesTheDisplacedOriginalLateGetsItBack) {
    ExpectALateWriterAt("settle");
}

// The order that used to leave a gap: an open that found the original before the swap reaches
// it after the run's last check of the lease, but before the run lets it go. The lease is let go
// while the original still has a name and taken again, which that writer then prevents: the
// original takes its name back with the writer's bytes, and the photo is reported.
TEST_F(PhotoWrite, AWriterWhoseOpenArrivesAfterTheLastCheckStillGetsTheOriginalBack) {
    ExpectALateWriterAt("release");
}

TEST_F(PhotoWrite, AProgramThatOpensThePhotoOnceTheNewFileHasItsNameWritesIntoTheTaggedPhoto) {
    const std::string path = Photo("photo.jpg");
    pid_t writer = -1;
    engine.SetWriteFaultHook([&](const std::string& step) {
        if (step == "recheck" && writer < 0) {
            writer = StartAppender(path);
            WaitFor(writer);  // the new file carries no lease: nothing to wait for
        }
        return true;
    });
    const std::string trace = Run();
    engine.SetWriteFaultHook(nullptr);
    EXPECT_EQ(trace.find("Skipping"), std::string::npos) << trace;
    const std::string tagged = ReadFileText(path);
    EXPECT_TRUE(Tagged(path));
    EXPECT_EQ(tagged.substr(tagged.size() - 4), "tail");
    EXPECT_TRUE(Leftovers().empty());
}

// A program that appends the moment a temporary name appears in the folder, whatever moment
// of the replacement that falls on: its bytes end either in the tagged photo or in the
// original, which then stays and is reported.
TEST_F(PhotoWrite, AnAppendRacingTheReplacementIsNeverLost) {
    int raced = 0;
    for (int round = 0; round < 40; ++round) {
        const std::string path = Photo("race.jpg");
        const std::string original = ReadFileText(path);
        int done[2];
        ASSERT_EQ(pipe2(done, O_NONBLOCK), 0);
        const pid_t writer = fork();
        if (writer == 0) {  // polls until the name shows, or until the run has ended
            for (char ended = 0; read(done[0], &ended, 1) != 1;) {
                DIR* folder = opendir(dir.Path().c_str());
                bool seen = false;
                while (const dirent* entry = folder ? readdir(folder) : nullptr) {
                    seen = seen || std::strstr(entry->d_name, ".fenrik-") != nullptr;
                }
                if (folder != nullptr) {
                    closedir(folder);
                }
                if (seen) {
                    close_range(3, ~0U, 0);  // no copy of a leased descriptor
                    const int fd = open(path.c_str(), O_WRONLY | O_APPEND);
                    _exit(write(fd, "tail", 4) == 4 ? 0 : 1);
                }
            }
            _exit(2);
        }
        engine.SetWriteFaultHook([](const std::string& step) {
            if (step == "unnamed") {  // a named temporary shows itself from its creation on
                errno = EOPNOTSUPP;
                return false;
            }
            return true;
        });
        const std::string trace = Run();
        engine.SetWriteFaultHook(nullptr);
        const ssize_t told = write(done[1], "x", 1);  // its read end stays open here: no SIGPIPE
        close(done[0]);
        close(done[1]);
        ASSERT_EQ(told, 1);
        if (WaitFor(writer) != 0) {
            continue;  // the writer never saw the name: nothing raced
        }
        ++raced;
        const std::string now = ReadFileText(path);
        ASSERT_EQ(now.substr(now.size() - 4), "tail") << round << trace;
        if (trace.find("Skipping " + path) != std::string::npos) {
            EXPECT_EQ(now, original + "tail") << round;
        } else {
            EXPECT_TRUE(Tagged(path)) << round;
        }
        fs::remove(path);
    }
    std::printf("%d of 40 appends raced the replacement\n", raced);
}

TEST_F(PhotoWrite, LongestNameIsTaggedWithUnnamedAndNamedTemporaries) {
    for (const bool unnamed : {true, false}) {
        const std::string name = std::string(251, unnamed ? 'u' : 'n') + ".jpg";  // 255 bytes
        const std::string path = Photo(name);
        engine.SetWriteFaultHook([unnamed](const std::string& step) {
            if (step == "unnamed" && !unnamed) {
                errno = EOPNOTSUPP;
                return false;
            }
            return true;
        });
        const std::string trace = Run();
        EXPECT_EQ(trace.find("Skipping"), std::string::npos) << trace;
        EXPECT_TRUE(Tagged(path)) << unnamed;
        EXPECT_TRUE(Leftovers().empty());
    }
}

TEST_F(PhotoWrite, NamedTemporariesDuringABatchAreGoneAfterIt) {
    engine.SetLimits(BatchLimits{3, uint64_t{1} << 30, std::chrono::hours(1)});
    engine.SetWriteThreads(2);
    std::vector<std::string> paths;
    for (int i = 0; i < 7; ++i) {
        paths.push_back(Photo("p" + std::to_string(i) + ".jpg"));
    }
    size_t mostSeen = 0;
    std::mutex seen;
    engine.SetWriteFaultHook([&](const std::string& step) {
        if (step == "unnamed") {
            errno = EOPNOTSUPP;
            return false;
        }
        if (step == "sync") {  // files are flushed several at a time
            std::lock_guard<std::mutex> lock(seen);
            mostSeen = std::max(mostSeen, Leftovers().size());
        }
        return true;
    });
    Run();
    // A batch of three waits under temporary names, while the next may be prepared beside it
    // and the write threads make up to four more.
    EXPECT_GE(mostSeen, 3u);
    EXPECT_LE(mostSeen, 10u);
    EXPECT_TRUE(Leftovers().empty());
    for (const std::string& path : paths) {
        EXPECT_TRUE(Tagged(path)) << path;
    }
}

}  // namespace
