#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "base/atomic_file.h"

namespace v2d {
namespace {
namespace fs = std::filesystem;

class AtomicFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() /
                  ("atomic-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder_);
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }
    size_t FilesInFolder() const {
        return static_cast<size_t>(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()));
    }
    static std::string Read(const fs::path& p) {
        std::ifstream in(p, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    fs::path folder_;
};

// A writer destroyed without commit leaves the old file and no temporary;
// a commit replaces the target whole.
TEST_F(AtomicFileTest, DiscardedWriterLeavesTheOldFileAndCommitReplacesItWhole) {
    const fs::path target = folder_ / "a.v2d";
    std::ofstream(target) << "old contents";
    {
        AtomicFileWriter writer(target);
        ASSERT_TRUE(writer.isOpen());
        ASSERT_TRUE(writer.write("partial", 7));
        EXPECT_TRUE(fs::exists(writer.temporaryPath()));
    }
    EXPECT_EQ(Read(target), "old contents");
    EXPECT_EQ(FilesInFolder(), 1u);
    const std::string text = "new";
    ASSERT_TRUE(WriteFileAtomically(target, std::span(reinterpret_cast<const uint8_t*>(text.data()), 3)));
    EXPECT_EQ(Read(target), "new");
    EXPECT_EQ(FilesInFolder(), 1u);
}

TEST_F(AtomicFileTest, MissingFolderFailsWithoutCreatingAnything) {
    const fs::path target = folder_ / "no-such-folder" / "a.v2d";
    AtomicFileWriter writer(target);
    EXPECT_FALSE(writer.isOpen());
    EXPECT_FALSE(writer.write("x", 1));
    EXPECT_FALSE(writer.commit());
    EXPECT_FALSE(fs::exists(target));
}

TEST_F(AtomicFileTest, ReadWholeFileHonoursItsLimit) {
    const fs::path target = folder_ / "b.bin";
    std::ofstream(target) << "0123456789";
    EXPECT_EQ(ReadWholeFile(target)->size(), 10u);
    EXPECT_FALSE(ReadWholeFile(target, 9));
    EXPECT_FALSE(ReadWholeFile(folder_ / "missing"));
}

}  // namespace
}  // namespace v2d
