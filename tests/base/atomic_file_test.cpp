#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "base/atomic_file.h"
#include "base/background_file_writer.h"

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

// Files given to the background writer are written whole in order; the first
// that cannot be written is named, and nothing given after it is written.
TEST_F(AtomicFileTest, BackgroundWriterStopsAtTheFirstFailure) {
    fs::create_directories(folder_ / "3.v2d");  // a folder where the third file goes
    BackgroundFileWriter writer(2);
    int accepted = 0;
    for (int i = 1; i <= 40; ++i)
        if (writer.Write(folder_ / (std::to_string(i) + ".v2d"), std::vector<uint8_t>(1000, uint8_t(i)))) ++accepted;
    EXPECT_EQ(writer.Finish(), std::optional<fs::path>(folder_ / "3.v2d"));
    EXPECT_LT(accepted, 40);  // at most two wait, so the failure is seen long before the end
    EXPECT_EQ(Read(folder_ / "1.v2d"), std::string(1000, '\1'));
    EXPECT_EQ(Read(folder_ / "2.v2d"), std::string(1000, '\2'));
    for (int i = 4; i <= 40; ++i) EXPECT_FALSE(fs::exists(folder_ / (std::to_string(i) + ".v2d"))) << i;
    EXPECT_FALSE(writer.Write(folder_ / "41.v2d", {1}));
}

}  // namespace
}  // namespace v2d
