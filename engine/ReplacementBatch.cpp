#include "engine/ReplacementBatch.h"

#include <map>

#include "engine/PhotoIdentity.h"

namespace {

std::string FolderOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

bool PrepareReplacement(const std::string& path, const PhotoSource& photo,
                        const unsigned char* head, size_t headSize, PendingReplacement& pending,
                        std::string& error) {
    error = ReplacementBlocker(photo.target, photo.info);
    if (!error.empty()) {
        return false;
    }
    pending.path = path;
    pending.target = photo.target;
    pending.original = photo.info;
    if (!pending.file.Create(FolderOf(photo.target), error) ||
        !pending.file.Append(head, headSize, error) ||
        !pending.file.AppendFrom(photo.fd.Get(), photo.tailOffset, photo.TailSize(), error) ||
        !CopyIdentity(photo.fd.Get(), photo.info, pending.file.Fd(), error)) {
        pending.file = TemporaryFile();
        return false;
    }
    pending.file.StartWriteback();
    return true;
}

void ReplacementBatch::BeginFolder(const std::string& folder) {
    clock_gettime(CLOCK_REALTIME, &m_FolderStart);
    m_CleanFolders.clear();
    RemoveStaleTemporaries(folder, m_FolderStart);
    m_CleanFolders.insert(folder);
}

void ReplacementBatch::Add(PendingReplacement pending) {
    if (m_CleanFolders.insert(pending.file.Folder()).second) {
        RemoveStaleTemporaries(pending.file.Folder(), m_FolderStart);
    }
    if (m_Pending.empty()) {
        m_FirstAdded = std::chrono::steady_clock::now();
    }
    m_Bytes += pending.file.Size();
    m_Pending.push_back(std::move(pending));
}

bool ReplacementBatch::IsDue() const {
    return !m_Pending.empty() && (m_Pending.size() >= m_Limits.count || m_Bytes >= m_Limits.bytes ||
                                  std::chrono::steady_clock::now() - m_FirstAdded >= m_Limits.age);
}

std::vector<NotReplaced> ReplacementBatch::Commit() {
    std::vector<NotReplaced> failed;
    // One flush per file system: the new files of a batch usually share one.
    std::map<dev_t, std::string> flushErrors;
    std::vector<bool> synced(m_Pending.size(), false);
    for (size_t i = 0; i < m_Pending.size(); ++i) {
        struct stat info {};
        fstat(m_Pending[i].file.Fd(), &info);
        const auto flushed = flushErrors.find(info.st_dev);
        std::string error;
        if (flushed == flushErrors.end()) {
            SyncFileSystem(m_Pending[i].file.Fd(), error);
            flushErrors[info.st_dev] = error;
        } else {
            error = flushed->second;
        }
        synced[i] = error.empty();
        if (!synced[i]) {
            failed.push_back({m_Pending[i].path, error});
        }
    }
    std::set<std::string> folders;
    for (size_t i = 0; i < m_Pending.size(); ++i) {
        PendingReplacement& pending = m_Pending[i];
        if (!synced[i]) {
            continue;
        }
        std::string error;
        if (!IsUnchanged(pending.target, pending.original)) {
            failed.push_back(
                {pending.path, "it changed while being tagged; the next run will tag it"});
        } else if (!pending.file.Replace(pending.target, error)) {
            failed.push_back({pending.path, error});
        } else {
            folders.insert(pending.file.Folder());
        }
    }
    for (const std::string& folder : folders) {
        SyncFolder(folder);
    }
    Abandon();
    return failed;
}

void ReplacementBatch::Abandon() {
    m_Pending.clear();
    m_Bytes = 0;
}
