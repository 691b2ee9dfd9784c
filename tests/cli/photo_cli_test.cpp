// Photos as phones store them, through the command line: an EXIF-turned
// room is found at upright coordinates, and photos that cannot be used are
// refused with their reason and nothing written.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTransform>

#include "base/atomic_file.h"
#include "base/picture_codec.h"
#include "demo/rendered_rooms.h"
#include "tests/base/exif_bytes.h"
#include "tests/cli/cli_runner.h"

namespace v2d {
namespace {

namespace fs = std::filesystem;

test::Outcome Vexel(const std::vector<std::string>& args, const fs::path& scratch) {
    std::string command = "'" VEXEL_CLI "'";
    for (const std::string& a : args) command += " '" + a + "'";
    return test::RunShell(command, scratch);
}

void Write(const fs::path& file, const Bytes& bytes) { ASSERT_TRUE(WriteFileAtomically(file, bytes)); }

class PhotoCli : public ::testing::Test {
protected:
    void SetUp() override {
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    fs::path In(const char* name) const { return dir_ / name; }
    fs::path dir_ = fs::temp_directory_path() / ("vexel-photo-cli-" + std::to_string(::getpid()));
};

// The room stored a quarter turn to the left, as a phone held upright
// stores it, with EXIF saying to turn it to the right.
TEST_F(PhotoCli, FindRegionOnATurnedPhotoFindsTheFloorAtUprightCoordinates) {
    demo::RoomSpec spec = demo::TestRooms().front();
    const auto room = demo::RenderRoom(spec, "rendered-rooms", 480, 360);
    ASSERT_TRUE(room.ok()) << room.error();
    const QImage upright = DecodeJpeg(*ReadWholeFile(room->photo));
    const QImage stored = upright.transformed(QTransform().rotate(-90));
    Write(In("turned.jpg"), testing::WithExif(*EncodeJpeg(stored, 95), testing::Tiff(true, {{0x0112, 3, 1, 6}})));

    const std::string at = std::to_string(room->click.x) + "," + std::to_string(room->click.y);
    const test::Outcome found = Vexel({"find-region", In("turned.jpg"), "--at", at}, dir_);
    ASSERT_EQ(found.exit, 0) << found.err;
    const QJsonObject json = QJsonDocument::fromJson(QByteArray::fromStdString(found.out)).object();
    std::vector<std::vector<V2d_Point>> rings;
    for (const QJsonValue& ring : json["outline"].toArray()) {
        rings.emplace_back();
        for (const QJsonValue& p : ring.toArray()) rings.back().push_back({p[0].toInt(), p[1].toInt()});
    }
    Quad corners{};
    for (int i = 0; i < 4; ++i) corners[i] = {json["corners"][i][0].toInt(), json["corners"][i][1].toInt()};
    const demo::RoomScore score = demo::ScoreFound(*room, rings, corners, std::nullopt);
    EXPECT_GE(score.iou, 0.9);
    EXPECT_TRUE(score.cornersOnFloor);

    // The scheme made from it keeps the upright photo.
    ASSERT_EQ(Vexel({"new-scheme", In("turned.jpg"), "-o", In("turned.v2d")}, dir_).exit, 0);
    const test::Outcome info = Vexel({"info", In("turned.v2d")}, dir_);
    const QJsonObject background = QJsonDocument::fromJson(QByteArray::fromStdString(info.out)).object()["background"].toObject();
    EXPECT_EQ(background["width"].toInt(), 480) << info.out;
    EXPECT_EQ(background["height"].toInt(), 360);
}

TEST_F(PhotoCli, UnusablePhotosAreRefusedWithTheirReasonAndNothingWritten) {
    QImage strip(20000, 2, QImage::Format_RGB32), dot(1, 1, QImage::Format_RGB32);
    strip.fill(Qt::gray), dot.fill(Qt::gray);
    const Bytes jpeg = *EncodeJpeg(strip.scaled(800, 600), 90);
    Write(In("strip.png"), *EncodePng(strip));
    Write(In("dot.jpg"), *EncodeJpeg(dot, 90));
    Write(In("cut.jpg"), Bytes(jpeg.begin(), jpeg.begin() + long(jpeg.size() / 2)));
    Bytes lying = testing::WithExif(jpeg, testing::Tiff(false, {{0x0112, 3, 0xFFFFFFFF, 6}}, 0xFFFFFF00, 0xFFFF));
    lying[4] = 0xFF, lying[5] = 0xF0;  // a segment running past the file's end
    Write(In("lying.jpg"), lying);
    Bytes huge = *EncodeJpeg(dot, 90);  // its frame claims 8000 x 8000
    for (size_t i = 0; i + 8 < huge.size(); ++i)
        if (huge[i] == 0xFF && huge[i + 1] == 0xC0) huge[i + 5] = huge[i + 7] = 8000 >> 8, huge[i + 6] = huge[i + 8] = 8000 & 0xFF;
    Write(In("huge.jpg"), huge);
    Write(In("photo.gif"), Bytes{'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0});
    const std::pair<const char*, const char*> cases[] = {
        {"strip.png", "照片太小，"}, {"dot.jpg", "照片太小，"}, {"cut.jpg", "图片文件已损坏："},
        {"lying.jpg", "图片文件已损坏："}, {"huge.jpg", "照片太大（"}, {"photo.gif", "照片格式不正确："}};
    for (const auto& [file, message] : cases) {
        for (const auto& args : {std::vector<std::string>{"find-region", In(file), "--at", "1,1"},
                                 std::vector<std::string>{"new-scheme", In(file), "-o", In("out.v2d")}}) {
            const test::Outcome run = Vexel(args, dir_);
            EXPECT_EQ(run.exit, 1) << file;
            EXPECT_NE(run.err.find(message), std::string::npos) << file << ": " << run.err;
        }
        EXPECT_FALSE(fs::exists(In("out.v2d"))) << file;
    }
}

}  // namespace
}  // namespace v2d
