#include "platform/core/atomic_file.h"

#include "platform/core/byte_stream.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vendrel {
namespace {

std::string Quoted(const std::filesystem::path& p) {
    return "\"" + p.string() + "\"";
}

std::string SystemReason(int err) {
    return std::strerror(err);
}

// Size of the pieces a file is written in.
constexpr size_t kWriteChunk = 32768;

class LocalFile : public IWritableFile {
public:
    LocalFile(int fd, std::filesystem::path path) : fd_(fd), path_(std::move(path)) {}
    ~LocalFile() override {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }

    void Write(std::span<const uint8_t> bytes) override {
        while (!bytes.empty()) {
            const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
            if (n < 0) {
                if (errno == EINTR) {
                    continue;
                }
                throw EFileError("Cannot write the file " + Quoted(path_) + ": " + SystemReason(errno));
            }
            bytes = bytes.subspan(static_cast<size_t>(n));
        }
    }

    void Sync() override {
        if (::fsync(fd_) != 0) {
            throw EFileError("Cannot write the file " + Quoted(path_) +
                             " to the disk: " + SystemReason(errno));
        }
    }

    void Close() override {
        const int fd = fd_;
        fd_ = -1;
        if (::close(fd) != 0) {
            throw EFileError("Cannot write the file " + Quoted(path_) + ": " + SystemReason(errno));
        }
    }

private:
    int fd_;
    std::filesystem::path path_;
};

// Gives the new file `fresh` the permissions of the file `old` it is about to replace, and its owner
// and group where this user may. The group's permissions are kept only where the group itself is:
// they are not handed to another group. Nothing is done when there is no old file; a failure leaves
// the new file as it was created, which the save still goes through with.
void KeepAccessOf(const std::filesystem::path& old, const std::filesystem::path& fresh) {
    struct stat was {};
    struct stat now {};
    if (::stat(old.c_str(), &was) != 0 || !S_ISREG(was.st_mode) || ::stat(fresh.c_str(), &now) != 0) {
        return;
    }
    if (was.st_uid != now.st_uid || was.st_gid != now.st_gid) {
        // Only the superuser gives a file away; a group this user belongs to is allowed.
        if (::chown(fresh.c_str(), was.st_uid, was.st_gid) != 0) {
            (void)::chown(fresh.c_str(), static_cast<uid_t>(-1), was.st_gid);
        }
        (void)::stat(fresh.c_str(), &now);
    }
    mode_t mode = was.st_mode & (S_IRWXU | S_IRWXG | S_IRWXO);
    if (now.st_gid != was.st_gid) {
        mode = (mode & ~S_IRWXG) | (now.st_mode & S_IRWXG);
    }
    (void)::chmod(fresh.c_str(), mode);
}

class LocalFileSystemImpl : public IFileSystem {
public:
    std::unique_ptr<IWritableFile> CreateNew(const std::filesystem::path& path) override {
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0) {
            throw EFileError("Cannot create the file " + Quoted(path) + ": " + SystemReason(errno));
        }
        return std::make_unique<LocalFile>(fd, path);
    }

    void Replace(const std::filesystem::path& from, const std::filesystem::path& to) override {
        KeepAccessOf(to, from);
        if (::rename(from.c_str(), to.c_str()) != 0) {
            throw EFileError("Cannot replace the file " + Quoted(to) + ": " + SystemReason(errno));
        }
        // The rename itself reaches the disk with the folder's entry; a failure to flush the folder
        // leaves a complete file in place, so it is not reported.
        const std::filesystem::path folder = to.has_parent_path() ? to.parent_path() : ".";
        const int dfd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (dfd >= 0) {
            ::fsync(dfd);
            ::close(dfd);
        }
    }

    void Remove(const std::filesystem::path& path) noexcept override { ::unlink(path.c_str()); }
};

// A name in the target's folder that no other save of this process uses at the same time.
std::filesystem::path TemporaryName(const std::filesystem::path& target, unsigned attempt) {
    static std::atomic<unsigned> counter{0};
    const std::string name = "." + target.filename().string() + "." + std::to_string(::getpid()) + "-" +
                             std::to_string(counter.fetch_add(1)) + "-" + std::to_string(attempt) + ".tmp";
    return target.has_parent_path() ? target.parent_path() / name : std::filesystem::path(name);
}

std::filesystem::path ResolveLink(const std::filesystem::path& target) {
    std::error_code ec;
    if (std::filesystem::is_symlink(std::filesystem::symlink_status(target, ec))) {
        const auto resolved = std::filesystem::weakly_canonical(target, ec);
        if (!ec) {
            return resolved;
        }
    }
    return target;
}

std::vector<uint8_t> ReadUpTo(const std::filesystem::path& path, size_t maxBytes, bool wholeFile) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        throw EFileError("Cannot open the file " + Quoted(path) + ": " + SystemReason(errno));
    }
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        throw EFileError("Cannot read the file " + Quoted(path) + ": " + SystemReason(errno));
    }
    if (S_ISDIR(st.st_mode)) {
        throw EFileError("Cannot open the file " + Quoted(path) + ": it is a folder");
    }
    if (wholeFile && static_cast<uint64_t>(st.st_size) > kMaxStreamSize) {
        throw EFileError("Cannot read the file " + Quoted(path) + ": it is larger than 2 GiB");
    }
    std::vector<uint8_t> out;
    out.reserve(std::min<size_t>(maxBytes, static_cast<size_t>(std::max<off_t>(st.st_size, 0))));
    uint8_t chunk[kWriteChunk];
    while (out.size() < maxBytes) {
        const size_t want = std::min(sizeof chunk, maxBytes - out.size());
        const ssize_t n = ::read(fd, chunk, want);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            throw EFileError("Cannot read the file " + Quoted(path) + ": " + SystemReason(errno));
        }
        if (n == 0) {
            break;
        }
        out.insert(out.end(), chunk, chunk + n);
    }
    if (wholeFile && out.size() == maxBytes) {
        // The file grew past the limit while it was read.
        uint8_t probe;
        if (::read(fd, &probe, 1) > 0) {
            throw EFileError("Cannot read the file " + Quoted(path) + ": it is larger than 2 GiB");
        }
    }
    return out;
}

} // namespace

IFileSystem& LocalFileSystem() {
    static LocalFileSystemImpl fs;
    return fs;
}

void WriteFileAtomically(const std::filesystem::path& target, std::span<const uint8_t> bytes,
                         IFileSystem& fs) {
    const std::filesystem::path finalPath = ResolveLink(target);
    std::unique_ptr<IWritableFile> file;
    std::filesystem::path temp;
    // A leftover temporary file of an earlier crash may hold a name; try a few others.
    for (unsigned attempt = 0;; ++attempt) {
        temp = TemporaryName(finalPath, attempt);
        try {
            file = fs.CreateNew(temp);
            break;
        } catch (const EFileError&) {
            std::error_code ec;
            if (attempt >= 8 || !std::filesystem::exists(temp, ec)) {
                throw;
            }
        }
    }
    try {
        for (size_t at = 0; at < bytes.size(); at += kWriteChunk) {
            file->Write(bytes.subspan(at, std::min(kWriteChunk, bytes.size() - at)));
        }
        file->Sync();
        file->Close();
        file.reset();
        fs.Replace(temp, finalPath);
    } catch (...) {
        file.reset();
        fs.Remove(temp);
        throw;
    }
}

std::vector<uint8_t> ReadWholeFile(const std::filesystem::path& path) {
    return ReadUpTo(path, kMaxStreamSize, true);
}

std::vector<uint8_t> ReadFileHead(const std::filesystem::path& path, size_t maxBytes) {
    return ReadUpTo(path, maxBytes, false);
}

} // namespace vendrel
