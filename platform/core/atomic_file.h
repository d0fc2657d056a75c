#pragma once
// Whole files in and out of memory, saved so that a failed save never destroys the previous file.
//
// WriteFileAtomically writes the bytes to a new temporary file in the target's folder, flushes it to
// the disk, and only then renames it over the target; on any failure the temporary file is removed
// and the target is left exactly as it was. The file operations go through IFileSystem so that tests
// can make any step fail.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace vendrel {

// A file that cannot be opened, created, written, flushed or renamed. The text is meant for the user
// and names the file and the system's reason.
class EFileError : public std::runtime_error {
public:
    explicit EFileError(const std::string& what) : std::runtime_error(what) {}
};

// A file being written. Every operation raises EFileError on failure.
class IWritableFile {
public:
    virtual ~IWritableFile() = default;
    virtual void Write(std::span<const uint8_t> bytes) = 0;
    // Flushes the written bytes to the disk.
    virtual void Sync() = 0;
    virtual void Close() = 0;
};

// The few file operations a save needs. Every operation but Remove raises EFileError on failure.
class IFileSystem {
public:
    virtual ~IFileSystem() = default;
    // Creates a new file; fails when the name already exists.
    virtual std::unique_ptr<IWritableFile> CreateNew(const std::filesystem::path& path) = 0;
    // Renames `from` over `to`, replacing it, and makes the change durable. The file that replaces
    // an existing one keeps that file's permissions (and its owner and group where it may).
    virtual void Replace(const std::filesystem::path& from, const std::filesystem::path& to) = 0;
    // Removes a file, ignoring failures.
    virtual void Remove(const std::filesystem::path& path) noexcept = 0;
};

// The machine's own file system.
IFileSystem& LocalFileSystem();

// Writes bytes as the file `target` through a temporary file in its folder (see above). A target
// that is a symbolic link is followed: the file it points to is replaced. A replaced file keeps its
// permissions; a new file gets those the user's umask leaves.
void WriteFileAtomically(const std::filesystem::path& target, std::span<const uint8_t> bytes,
                         IFileSystem& fs = LocalFileSystem());

// Reads a whole file. Raises EFileError when it cannot be opened or read, or is larger than 2 GiB.
std::vector<uint8_t> ReadWholeFile(const std::filesystem::path& path);

// Reads at most the first maxBytes bytes of a file (fewer when the file is shorter).
std::vector<uint8_t> ReadFileHead(const std::filesystem::path& path, size_t maxBytes);

} // namespace vendrel
