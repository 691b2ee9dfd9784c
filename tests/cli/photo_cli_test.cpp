// Photos as phones store them, through the command line.
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
const fs::path kDir = fs::temp_directory_path() / ("vexel-photo-cli-" + std::to_string(::getpid()));

QJsonObject Vexel(const std::vector<std::string>& args, test::Outcome* run = nullptr) {
    std::string command = "'" VEXEL_CLI "'";
    for (const std::string& a : args) command += " '" + a + "'";
    const test::Outcome outcome = test::RunShell(command, kDir);
    if (run) *run = outcome;
    return QJsonDocument::fromJson(QByteArray::fromStdString(outcome.out)).object();
}
std::string In(const char* name) { return fs::create_directories(kDir), (kDir / name).string(); }

// A room stored a quarter turn to the left, as a phone held upright stores
// it, with EXIF saying to turn it right: found, and kept, upright.
TEST(PhotoCli, FindRegionOnATurnedPhotoFindsTheFloorAtUprightCoordinates) {
    const auto room = demo::RenderRoom(demo::TestRooms().front(), "rendered-rooms", 480, 360);
    ASSERT_TRUE(room.ok()) << room.error();
    const QImage stored = DecodeJpeg(*ReadWholeFile(room->photo)).transformed(QTransform().rotate(-90));
    ASSERT_TRUE(WriteFileAtomically(In("turned.jpg"), testing::WithExif(*EncodeJpeg(stored, 95), testing::Tiff(true, {{0x0112, 3, 1, 6}}))));
    test::Outcome run;
    const QJsonObject json = Vexel({"find-region", In("turned.jpg"), "--at", std::to_string(room->click.x) + "," + std::to_string(room->click.y)}, &run);
    ASSERT_EQ(run.exit, 0) << run.err;
    std::vector<std::vector<V2d_Point>> rings;
    for (const QJsonValue& ring : json["outline"].toArray())
        for (rings.emplace_back(); const QJsonValue& p : ring.toArray()) rings.back().push_back({p[0].toInt(), p[1].toInt()});
    Quad corners{};
    for (int i = 0; i < 4; ++i) corners[i] = {json["corners"][i][0].toInt(), json["corners"][i][1].toInt()};
    const demo::RoomScore score = demo::ScoreFound(*room, rings, corners, std::nullopt);
    EXPECT_TRUE(score.cornersOnFloor && score.iou >= 0.9) << score.iou;
    Vexel({"new-scheme", In("turned.jpg"), "-o", In("turned.v2d")}, &run);
    ASSERT_EQ(run.exit, 0) << run.err;
    EXPECT_EQ(Vexel({"info", In("turned.v2d")}).value("background").toObject().value("width").toInt(), 480);
    fs::remove_all(kDir);
}

TEST(PhotoCli, UnusablePhotosAreRefusedWithTheirReasonAndNothingWritten) {
    QImage strip(20000, 2, QImage::Format_RGB32), dot(1, 1, QImage::Format_RGB32);
    strip.fill(Qt::gray), dot.fill(Qt::gray);
    const Bytes jpeg = *EncodeJpeg(strip.scaled(800, 600), 90);
    Bytes huge = *EncodePng(dot);  // its header claims 8000 x 8000
    huge[18] = huge[22] = 8000 >> 8, huge[19] = huge[23] = 8000 & 0xFF;
    const std::tuple<const char*, Bytes, const char*> cases[] = {
        {"strip.png", *EncodePng(strip), "照片太小，"}, {"dot.jpg", *EncodeJpeg(dot, 90), "照片太小，"},
        {"cut.jpg", Bytes(jpeg.begin(), jpeg.begin() + long(jpeg.size() / 2)), "图片文件已损坏："},
        {"huge.png", huge, "照片太大（"},
        {"photo.gif", Bytes{'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0}, "照片格式不正确："}};
    for (const auto& [file, bytes, message] : cases) {  // find-region reads photos as new-scheme does
        ASSERT_TRUE(WriteFileAtomically(In(file), bytes));
        test::Outcome run;
        Vexel({"new-scheme", In(file), "-o", In("out.v2d")}, &run);
        EXPECT_EQ(run.exit, 1) << file;
        EXPECT_NE(run.err.find(message), std::string::npos) << file << ": " << run.err;
        EXPECT_FALSE(fs::exists(In("out.v2d"))) << file;
    }
    fs::remove_all(kDir);
}

}  // namespace
}  // namespace v2d
