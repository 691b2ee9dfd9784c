// find-room and new-scheme --room on a room rendered with a known camera:
// the JSON's surfaces against the true floor and camera, the scheme's
// regions against the JSON, and bad input refused with nothing written.
#include <gtest/gtest.h>

#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "demo/rendered_rooms.h"
#include "tests/cli/cli_runner.h"

namespace v2d {
namespace {

namespace fs = std::filesystem;

class RoomCli : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        root_ = fs::temp_directory_path() / ("vexel-room-cli-" + std::to_string(::getpid()));
        fs::create_directories(root_);
        for (const demo::RoomSpec& spec : demo::TestRooms())
            if (spec.name == "tiles-living") room_ = new demo::RenderedRoom(*demo::RenderRoom(spec, "rendered-rooms", 480, 360));
    }
    static void TearDownTestSuite() {
        fs::remove_all(root_);
        delete room_;
    }
    static test::Outcome Vexel(const std::vector<std::string>& args) {
        std::string command = "'" VEXEL_CLI "'";
        for (const std::string& a : args) command += " '" + a + "'";
        return test::RunShell(command, root_);
    }
    static QJsonObject Json(const std::string& text) { return QJsonDocument::fromJson(QByteArray::fromStdString(text)).object(); }
    static std::string In(const char* name) { return (root_ / name).string(); }
    static std::string Point(demo::PixelPos p) { return std::to_string(int(p.x)) + "," + std::to_string(int(p.y)); }
    static std::string Length() {
        return Point(room_->length.a) + "," + Point(room_->length.b) + "," + std::to_string(int(room_->length.millimetres));
    }
    static std::vector<V2d_Point> Points(const QJsonArray& ring) {
        std::vector<V2d_Point> points;
        for (const QJsonValue& p : ring) points.push_back({p[0].toInt(), p[1].toInt()});
        return points;
    }

    static inline fs::path root_;
    static inline demo::RenderedRoom* room_ = nullptr;
};

TEST_F(RoomCli, FindRoomGivesTheFloorAndWallsOfTheRenderedRoomSizedFromOneLength) {
    const std::string click = std::to_string(room_->click.x) + "," + std::to_string(room_->click.y);
    const test::Outcome found = Vexel({"find-room", room_->photo.string(), "--at", click, "--length", Length()});
    ASSERT_EQ(found.exit, 0) << found.err;
    const QJsonObject json = Json(found.out);
    EXPECT_EQ(json["width"].toInt(), 480);
    EXPECT_EQ(json["height"].toInt(), 360);
    EXPECT_NEAR(json["focal"].toDouble(), room_->camera.FocalPixels(), 0.03 * room_->camera.FocalPixels());
    const QJsonArray surfaces = json["surfaces"].toArray();
    ASSERT_GE(surfaces.size(), 3);  // the floor, the back wall and a side wall at least
    const QJsonObject floor = surfaces[0].toObject();
    EXPECT_EQ(floor["kind"].toString(), "floor");
    EXPECT_EQ(floor["name"].toString(), QString("地面"));
    std::vector<std::vector<V2d_Point>> rings;
    for (const QJsonValue& ring : floor["outline"].toArray()) rings.push_back(Points(ring.toArray()));
    const std::vector<V2d_Point> c = Points(floor["corners"].toArray());
    ASSERT_EQ(c.size(), 4u);
    const auto score = demo::ScoreFound(*room_, rings, {c[0], c[1], c[2], c[3]},
                                        std::pair{floor["realWidth"].toInt(), floor["realHeight"].toInt()});
    EXPECT_GE(score.iou, 0.85);
    ASSERT_TRUE(score.cornersOnFloor);
    EXPECT_LE(score.worstAngleErrorDeg, 2.5);
    EXPECT_LE(*score.widthErrorPercent, 5.0);
    EXPECT_LE(*score.heightErrorPercent, 5.0);
    // The walls follow, left to right, then the ceiling; each sized.
    const QStringList order{"地面", "左墙", "后墙", "右墙", "天花"};
    int last = 0;
    for (const QJsonValue& s : surfaces) {
        const int at = order.indexOf(s["name"].toString());
        EXPECT_GE(at, last) << s["name"].toString().toStdString();
        last = at;
        EXPECT_GT(s["realWidth"].toInt(), 0);
        EXPECT_GT(s["realHeight"].toInt(), 0);
    }

    // Without the length the room is sized as if taken 1.5 m above the floor:
    // the same shapes, scaled by 1500 over the camera's true height.
    const QJsonObject guessed = Json(Vexel({"find-room", room_->photo.string(), "--at", click}).out);
    EXPECT_TRUE(json["calibrated"].toBool());
    EXPECT_FALSE(guessed["calibrated"].toBool());
    const double scale = guessed["surfaces"][0]["realWidth"].toDouble() / floor["realWidth"].toDouble();
    EXPECT_NEAR(scale, 1500 / room_->spec.cameraHeight, 0.05 * scale);

    // The same room as a scheme: one region a surface, named and sized as printed.
    ASSERT_EQ(Vexel({"new-scheme", room_->photo.string(), "-o", In("room.v2d"), "--room", click + ":" + Length()}).exit, 0);
    const QJsonArray records = Json(Vexel({"info", In("room.v2d")}).out)["records"].toArray();
    ASSERT_EQ(records.size(), surfaces.size());
    for (qsizetype i = 0; i < records.size(); ++i) {
        EXPECT_EQ(records[i]["realWidth"].toInt(), surfaces[i]["realWidth"].toInt());
        EXPECT_EQ(records[i]["indexCount"].toInt(), surfaces[i]["outline"].toArray().size());
    }
}

TEST_F(RoomCli, BadPhotosClicksAndLengthsAreRefusedAndNothingIsWritten) {
    QImage(1, 1, QImage::Format_RGB32).save(QString::fromStdString(In("dot.png")));
    QImage(20000, 2, QImage::Format_RGB32).save(QString::fromStdString(In("strip.png")));
    const std::string jpeg = test::ReadText(room_->photo);
    std::ofstream(In("cut.jpg"), std::ios::binary) << jpeg.substr(0, jpeg.size() / 2);
    const std::string photo = room_->photo.string();
    // The back wall's middle and a floor point: two surfaces.
    const std::string across = "240,40," + Point(room_->length.a) + ",1000";
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{In("dot.png")}, "照片太小"},
        {{In("strip.png")}, "照片太小"},
        {{In("cut.jpg")}, "图片文件已损坏"},
        {{photo, "--at", "480,10"}, "单击的位置在照片之外。"},
        {{photo, "--length", Point(room_->length.a) + "," + Point(room_->length.b) + ",0"}, "标定的长度不能为零。"},
        {{photo, "--length", across}, "标定的两个端点不在同一个表面上。"},
    };
    for (const auto& [args, message] : cases) {
        std::vector<std::string> find{"find-room"};
        find.insert(find.end(), args.begin(), args.end());
        const test::Outcome refused = Vexel(find);
        EXPECT_EQ(refused.exit, 1) << args[0];
        EXPECT_NE(refused.err.find(message), std::string::npos) << refused.err;
        EXPECT_TRUE(refused.out.empty());
        // new-scheme --room takes the same click and length in one value.
        std::string value = args.size() > 2 && args[1] == "--at" ? args[2] : "";
        if (args.size() > 2 && args[1] == "--length") value += ":" + args[2];
        std::vector<std::string> make{"new-scheme", args[0], "-o", In("bad.v2d"), "--room"};
        if (!value.empty()) make.push_back(value);
        const test::Outcome scheme = Vexel(make);
        EXPECT_NE(scheme.exit, 0) << value;
        EXPECT_FALSE(fs::exists(In("bad.v2d")));
    }
}

}  // namespace
}  // namespace v2d
