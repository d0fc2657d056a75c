#include "platform/core/atomic_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace vendrel {
namespace {

namespace fs = std::filesystem;

// The local file system with one step made to fail.
class FailingFileSystem : public IFileSystem {
public:
    enum class Step { None, Create, Write, Sync, Replace };
    Step failAt = Step::None;
    size_t failAfterBytes = 0; // for Step::Write: bytes accepted before the failure

    std::unique_ptr<IWritableFile> CreateNew(const fs::path& path) override {
        if (failAt == Step::Create) {
            throw EFileError("injected create failure");
        }
        return std::make_unique<File>(LocalFileSystem().CreateNew(path), *this);
    }
    void Replace(const fs::path& from, const fs::path& to) override {
        if (failAt == Step::Replace) {
            throw EFileError("injected rename failure");
        }
        LocalFileSystem().Replace(from, to);
    }
    void Remove(const fs::path& path) noexcept override { LocalFileSystem().Remove(path); }

private:
    class File : public IWritableFile {
    public:
        File(std::unique_ptr<IWritableFile> inner, FailingFileSystem& owner)
            : inner_(std::move(inner)), owner_(owner) {}
        void Write(std::span<const uint8_t> bytes) override {
            if (owner_.failAt == Step::Write && written_ + bytes.size() > owner_.failAfterBytes) {
                inner_->Write(bytes.first(owner_.failAfterBytes - written_));
                throw EFileError("injected write failure: disk full");
            }
            written_ += bytes.size();
            inner_->Write(bytes);
        }
        void Sync() override {
            if (owner_.failAt == Step::Sync) {
                throw EFileError("injected flush failure");
            }
            inner_->Sync();
        }
        void Close() override { inner_->Close(); }

    private:
        std::unique_ptr<IWritableFile> inner_;
        FailingFileSystem& owner_;
        size_t written_ = 0;
    };
};

class AtomicFile : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("vendrel_atomic_" + std::to_string(getpid()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    static std::vector<uint8_t> Pattern(size_t n, uint8_t seed) {
        std::vector<uint8_t> v(n);
        for (size_t i = 0; i < n; ++i) {
            v[i] = static_cast<uint8_t>(seed + i * 7);
        }
        return v;
    }
    size_t FilesInFolder() const {
        return static_cast<size_t>(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()));
    }

    fs::path dir_;
};

TEST_F(AtomicFile, WritesNewFilesAndReplacesOldOnes) {
    const fs::path target = dir_ / "show.V3DPrj";
    WriteFileAtomically(target, Pattern(100000, 1));
    EXPECT_EQ(ReadWholeFile(target), Pattern(100000, 1));
    WriteFileAtomically(target, Pattern(10, 2));
    EXPECT_EQ(ReadWholeFile(target), Pattern(10, 2));
    EXPECT_EQ(ReadFileHead(target, 4), Pattern(4, 2));
    EXPECT_EQ(ReadFileHead(target, 400), Pattern(10, 2));
    EXPECT_EQ(FilesInFolder(), 1u);
}

TEST_F(AtomicFile, ASaveThatFailsAtAnyStepLeavesThePreviousFileByteIdentical) {
    const fs::path target = dir_ / "show.V3DPrj";
    const auto previous = Pattern(70000, 9);
    WriteFileAtomically(target, previous);

    using Step = FailingFileSystem::Step;
    const struct {
        Step step;
        size_t after;
    } cases[] = {
        {Step::Create, 0}, {Step::Write, 0}, {Step::Write, 40000}, {Step::Sync, 0}, {Step::Replace, 0}};
    for (const auto& c : cases) {
        FailingFileSystem fsys;
        fsys.failAt = c.step;
        fsys.failAfterBytes = c.after;
        EXPECT_THROW(WriteFileAtomically(target, Pattern(90000, 3), fsys), EFileError);
        EXPECT_EQ(ReadWholeFile(target), previous);
        EXPECT_EQ(FilesInFolder(), 1u) << "a temporary file was left behind";
    }
}

TEST_F(AtomicFile, MissingFoldersAndFilesGiveMessagesNamingTheFile) {
    try {
        WriteFileAtomically(dir_ / "no such folder" / "a.venue", Pattern(3, 0));
        FAIL();
    } catch (const EFileError& e) {
        EXPECT_NE(std::string(e.what()).find("no such folder"), std::string::npos) << e.what();
    }
    EXPECT_THROW(ReadWholeFile(dir_ / "missing.venue"), EFileError);
    EXPECT_THROW(ReadWholeFile(dir_), EFileError);
}

TEST_F(AtomicFile, ASymbolicLinkKeepsPointingAtTheSavedFile) {
    const fs::path real = dir_ / "real.system";
    const fs::path link = dir_ / "link.system";
    WriteFileAtomically(real, Pattern(5, 0));
    fs::create_symlink(real, link);
    WriteFileAtomically(link, Pattern(6, 1));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(ReadWholeFile(real), Pattern(6, 1));
}

TEST_F(AtomicFile, AReplacedFileKeepsItsPermissionsAndANewOneFollowsTheUmask) {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    const fs::path fresh = dir_ / "new.V3DPrj";
    WriteFileAtomically(fresh, Pattern(5, 0));
    struct stat st {};
    ASSERT_EQ(::stat(fresh.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0666 & ~mask);

    for (const mode_t mode : {0640, 0660, 0400}) {
        const fs::path target = dir_ / ("kept" + std::to_string(mode) + ".V3DPrj");
        WriteFileAtomically(target, Pattern(5, 0));
        ASSERT_EQ(::chmod(target.c_str(), mode), 0);
        WriteFileAtomically(target, Pattern(7, 1));
        ASSERT_EQ(::stat(target.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, mode) << std::oct << mode;
        EXPECT_EQ(ReadWholeFile(target), Pattern(7, 1));
    }

    // Only the superuser may keep another user's file theirs.
    if (::geteuid() == 0) {
        const fs::path shared = dir_ / "shared.V3DPrj";
        WriteFileAtomically(shared, Pattern(5, 0));
        ASSERT_EQ(::chown(shared.c_str(), 4321, 4322), 0);
        WriteFileAtomically(shared, Pattern(6, 0));
        ASSERT_EQ(::stat(shared.c_str(), &st), 0);
        EXPECT_EQ(st.st_uid, 4321u);
        EXPECT_EQ(st.st_gid, 4322u);
    }
}

} // namespace
} // namespace vendrel
